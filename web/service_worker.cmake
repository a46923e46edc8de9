# Writes sw.js from its template: the list of the site's files and a cache name made
# from their contents.   cmake -DSITE=<folder> -DTEMPLATE=<sw.js.in> -P service_worker.cmake
file(GLOB files RELATIVE ${SITE} ${SITE}/*)
# The SMART configuration is the hospital's to edit after the build: never kept stale.
list(REMOVE_ITEM files sw.js smart-config.json)
list(SORT files)
set(contents "")
set(list "\"./\"")
foreach(name IN LISTS files)
  file(SHA256 ${SITE}/${name} hash)
  string(APPEND contents "${name} ${hash}\n")
  string(APPEND list ", \"${name}\"")
endforeach()
file(READ ${TEMPLATE} template)
string(SHA256 version "${contents}${template}")
string(SUBSTRING ${version} 0 16 VERSION)
set(FILES "${list}")
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
