# Writes record.html, the page opened from a patient's record, from the plain page: the
# same form, with the SMART library, the patient's identity, the banners and the
# provenance panel, and a Content-Security-Policy that lets the page reach servers over
# https only (narrowed at launch to the record's own, which the site's smart-config.json
# lists).
#   cmake -DINDEX=<index.html> -DRECORD=<record.html> -P record_page.cmake
file(READ ${INDEX} page)
set(csp_plain "connect-src 'self';")
set(csp_record "connect-src 'self' https:;")
string(FIND "${page}" "${csp_plain}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "record_page: no \"${csp_plain}\" in ${INDEX}")
endif()
string(REPLACE "${csp_plain}" "${csp_record}" page "${page}")
string(REPLACE "</head>"
  "<script src=\"fhir-client.pure.min.js\" defer></script>\n<script type=\"module\" src=\"record_page.mjs\"></script>\n</head>"
  page "${page}")
string(REPLACE "<body>" "<body class=\"record\">" page "${page}")
string(REPLACE "<main class=\"window\" inert>"
  "<p id=\"record-status\" class=\"record-status\" role=\"status\">Lancement depuis le dossier du patient…</p>\n<div id=\"record-failure\" class=\"banner failure\" role=\"alert\" hidden><p></p><details><summary>Détail technique</summary><pre></pre></details></div>\n<section id=\"identity\" class=\"identity\" aria-label=\"Patient\" hidden><dl></dl></section>\n<p id=\"secondary-prevention\" class=\"banner warning\" role=\"note\" hidden></p>\n<div class=\"record-layout\">\n<main class=\"window\" inert>"
  page "${page}")
string(REPLACE "</main>\n"
  "</main>\n<aside id=\"provenance\" class=\"provenance\" aria-labelledby=\"provenance-title\" hidden>\n  <h2 id=\"provenance-title\">Provenance des valeurs</h2>\n  <dl></dl>\n  <button type=\"button\" id=\"copy-summary\">Copier le résumé</button>\n</aside>\n</div>\n"
  page "${page}")
string(REGEX REPLACE "<footer class=\"notice\">[^<]*</footer>"
  "<footer id=\"record-footer\" class=\"notice\" hidden>Valeurs lues dans le dossier du patient, sur cet appareil : rien n'est enregistré, rien n'est écrit dans le dossier.</footer>"
  page "${page}")
file(WRITE ${RECORD} "${page}")
