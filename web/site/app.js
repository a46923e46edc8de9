// The page's half of the window: the HTML controls answer the core's control operations
// (get and set a text, a selection, a check state, the bar), and every change a user
// makes is handed to the core's event table. No rule lives here.
"use strict";

(function () {
  // The form's controls, labels and constants, written into the page from the core's tables.
  const FORM = JSON.parse(document.getElementById("form-tables").textContent);
  const ID = FORM.controls;
  const control = (id) => document.getElementById("c" + id);
  // Check boxes a filled record leaves undecided (the record holds no answer), by control,
  // with what to complete: while one is left, the result waits for the clinician.
  const undecided = new Map();
  const waiting = () => (undecided.size ? `à compléter : ${[...undecided.values()].join(", ")}` : "");
  // What the record page knows for SCORE2: a known cardiovascular disease, and what is to
  // check before it can be given (a condition whose status is unknown).
  let knownDisease = false;
  let score2Pending = [];
  const hasValue = (element) =>
    element instanceof HTMLInputElement || element instanceof HTMLOutputElement;

  const controls = {
    getText(id) {
      const element = control(id);
      if (!element) return "";
      return hasValue(element) ? element.value : element.textContent;
    },
    setText(id, text) {
      const element = control(id);
      if (id === ID.result && waiting() && text !== "ERREUR") text = waiting();
      if (!element) return;
      if (hasValue(element)) {
        if (element.value !== text) element.value = text;
      } else {
        element.textContent = text;
      }
    },
    getCurSel(id) {
      const element = control(id);
      return element ? element.selectedIndex : -1;
    },
    getCheck(id) {
      const element = control(id);
      return element && element.checked ? 1 : 0;
    },
    setBarPos(id, position) {
      const element = control(id);
      if (element) element.value = position;
    },
    // After each recomputation: the reason of an ERREUR, or "" for a result. While the
    // result is ERREUR the bar shows no value rather than the last result.
    // "Et si…": the core's lines, one a line; none hides the list.
    showWhatIf(text) {
      const section = document.getElementById("what-if");
      if (!section) return;
      if (waiting()) text = "";
      const list = section.querySelector("ul");
      list.replaceChildren(...(text ? text.split("\n") : []).map((line) =>
        Object.assign(document.createElement("li"), { textContent: line })));
      section.hidden = !text;
      queueMicrotask(updatePrintSheet);  // a unit switch shows new lines without a result
    },
    // SCORE2's card: the region chosen, what the record page knows of a known disease,
    // and the core's outcome; a record's undecided smoking status or conditions to check
    // leave it to complete, as the 1991 result.
    score2Region() {
      const select = document.getElementById("score2-region");
      return select ? select.selectedIndex : 0;
    },
    knownDisease: () => knownDisease,
    showScore2(outcome) {
      const card = document.getElementById("score2");
      if (!card) return;
      const pending = [...(undecided.has(ID.smoker) ? [undecided.get(ID.smoker)] : []), ...score2Pending];
      const complete = pending.length ? `à compléter : ${pending.join(", ")}` : "";
      document.getElementById("score2-model").textContent = outcome.model;
      document.getElementById("score2-result").textContent = complete || outcome.text || "—";
      document.getElementById("score2-category").textContent =
        !complete && outcome.category ? `risque ${outcome.category}` : "";
      document.getElementById("score2-reason").textContent = complete ? "" : outcome.reason;
      document.getElementById("score2-isolated").hidden = Boolean(complete) || !outcome.isolated;
      queueMicrotask(updatePrintSheet);
    },
    showReason(reason) {
      document.getElementById("reason").textContent = reason;
      queueMicrotask(updatePrintSheet);  // once this recomputation has shown everything
      const bar = control(ID.bar);
      const noValue = reason !== "" || waiting() !== "";
      bar.classList.toggle("no-value", noValue);
      if (noValue) {
        bar.setAttribute("aria-valuetext", "aucune valeur : ERREUR");
      } else {
        bar.removeAttribute("aria-valuetext");
      }
    },
  };

  // The sheet the page prints (A4, French): the date, the inputs with their units, the
  // result and its bar, the "Et si…" lines, what the record page adds (identity,
  // provenance, warnings), the model's citation and the clinician's part.
  let printExtras = () => ({ before: [], after: [] });
  const shownOf = (id) => {
    const element = control(id);
    if (element instanceof HTMLSelectElement) {
      return element.selectedIndex < 0 ? "(non renseigné)" : element.options[element.selectedIndex].text;
    }
    if (element.type === "checkbox") return element.indeterminate ? "à compléter" : element.checked ? "oui" : "non";
    return hasValue(element) ? element.value : element.textContent;
  };
  // SCORE2 as the sheet prints it: the model, the result or why there is none, the region.
  function score2Lines() {
    const card = document.getElementById("score2");
    if (!card) return [];
    const text = (id) => document.getElementById(id).textContent;
    const region = document.getElementById("score2-region");
    const shown = [text("score2-result"), text("score2-category")].filter(Boolean).join(" ");
    const isolated = card.querySelector("#score2-isolated").hidden ? "" : ` ${text("score2-isolated")}.`;
    return [`${text("score2-model")} (région ${region.options[region.selectedIndex].text}) : ${shown}` +
              (text("score2-reason") ? ` (${text("score2-reason")})` : "") + `.${isolated} ` +
              card.querySelector(".score2-scope").textContent];
  }
  function updatePrintSheet() {
    const sheet = document.getElementById("print-sheet");
    if (!sheet) return;
    const node = (tag, text, className) =>
      Object.assign(document.createElement(tag), { textContent: text, ...(className && { className }) });
    const unit = shownOf(ID.unit);
    const withUnit = (id, suffix) => (shownOf(id) ? `${shownOf(id)} ${suffix}` : "(vide)");
    const rows = FORM.fields.filter(({ name }) => name !== "unit").map(({ control: id, label, unit: after,
      cholesterolUnit }) => [label, cholesterolUnit ? withUnit(id, unit) : after ? withUnit(id, after) : shownOf(id)]);
    const extras = printExtras();
    const inputs = document.createElement("dl");
    for (const [term, value] of rows) inputs.append(node("dt", term), node("dd", value));
    const result = shownOf(ID.result);
    const reason = document.getElementById("reason").textContent;
    const gauge = node("div", "", "print-gauge");
    gauge.append(node("span", "Faible"), Object.assign(node("span", "", "print-bar"), {
      style: `--risk: ${reason || waiting() ? 0 : control(ID.bar).value}%` }), node("span", "Fort"));
    const whatIf = [...document.querySelectorAll("#what-if li")].map((li) => node("li", li.textContent));
    const today = new Date();
    const date = [today.getDate(), today.getMonth() + 1].map((n) => String(n).padStart(2, "0"))
      .concat(today.getFullYear()).join("/");
    sheet.replaceChildren(
      node("h1", "Vessane — risque coronarien (équations de Framingham, 1991)"),
      node("p", `Imprimé le ${date}`),
      ...extras.before.map((line) => node("p", line)),
      inputs,
      node("p", `Résultat : ${result}${reason ? ` (${reason})` : ""}`, "print-result"),
      gauge,
      ...score2Lines().map((line) => node("p", line, "print-score2")),
      ...(whatIf.length ? [node("h2", "Et si…"), node("ul", "")] : []),
      ...extras.after.map((line) => node("p", line)),
      node("p", `Référence : ${sheet.dataset.citation}`),
      node("p", "Ce résultat aide le jugement clinique ; il ne le remplace pas.", "print-notice"));
    if (whatIf.length) sheet.querySelector("ul").append(...whatIf);
  }

  let core = null;
  // How a control reports a change, as the core's event table names it.
  const TEXT = 0, SELECTION = 1, CLICK = 2;
  // The cholesterol fields show the unit the selector holds, beside them.
  const showCholesterolUnit = () => {
    for (const unit of document.querySelectorAll(".chol-unit")) unit.textContent = shownOf(ID.unit);
  };
  const notify = (id, change) => {
    if (core) core._vessane_notify(id, change);
    if (id === ID.unit) showCholesterolUnit();
  };

  // Every control reports every change at once, as the window's do; the core's event
  // table decides what each one does.
  for (const field of document.querySelectorAll("input[id^=c]:not([type])")) {
    field.addEventListener("input", () => notify(Number(field.id.slice(1)), TEXT));
  }
  for (const select of document.querySelectorAll("select[id^=c]")) {
    select.addEventListener("change", () => notify(Number(select.id.slice(1)), SELECTION));
  }
  document.getElementById("score2-region")?.addEventListener("change", () => {
    if (core) core._vessane_score2();
  });
  for (const box of document.querySelectorAll("input[type=checkbox][id^=c]")) {
    box.addEventListener("change", () => {
      undecided.delete(Number(box.id.slice(1)));  // ticked or unticked: decided
      notify(Number(box.id.slice(1)), CLICK);
    });
  }

  // Digits-only fields accept digits alone: a keystroke, a paste or a drop holding
  // anything else is refused whole, as the window's fields refuse it, and a note beside
  // the field says so (its text, data-refused, is the windows' own) until the next
  // accepted input or the field is left.
  const onlyDigits = (text) => /^[0-9]*$/.test(text);
  for (const field of document.querySelectorAll("input.digits")) {
    const note = Object.assign(document.createElement("span"), {
      className: "refused", hidden: true, textContent: field.dataset.refused,
    });
    note.id = field.id + "-refused";
    note.setAttribute("role", "status");
    field.parentElement.append(note);
    const refuse = (event, text) => {
      const refused = text !== null && !onlyDigits(text);
      if (refused) event.preventDefault();
      note.hidden = !refused;
    };
    field.addEventListener("beforeinput", (event) => refuse(event, event.data));
    field.addEventListener("paste", (event) =>
      refuse(event, event.clipboardData.getData("text/plain")));
    field.addEventListener("drop", (event) =>
      refuse(event, event.dataTransfer.getData("text/plain")));
    field.addEventListener("blur", () => { note.hidden = true; });
  }

  // The form as another script of the page sees it (the page opened from a patient's
  // record fills it): values set as a user would set them, each through the event table.
  const TEXTS = ["age", "systolic", "diastolic", "total", "hdl"];
  const BOXES = ["smoker", "diabetes", "lvh"];
  let formReady;
  window.vessaneForm = new Promise((resolve) => { formReady = resolve; });
  const form = {
    // fields: { sex: {index}, unit: {index}, age: {text}, ..., smoker: {checked, undecided?},
    // ... }; undecided names what the clinician has to complete.
    fill(fields) {
      const select = (id, index) => {
        control(id).selectedIndex = index;
        notify(id, SELECTION);
      };
      if (fields.unit) select(ID.unit, fields.unit.index);  // first: it converts the texts
      if (fields.sex) select(ID.sex, fields.sex.index);
      for (const name of TEXTS) {
        const id = ID[name];
        if (!fields[name]) continue;
        control(id).value = fields[name].text;
        notify(id, TEXT);
      }
      for (const name of BOXES) {
        const id = ID[name];
        if (!fields[name]) continue;
        control(id).checked = fields[name].checked;
        control(id).indeterminate = Boolean(fields[name].undecided);
        if (fields[name].undecided) undecided.set(id, fields[name].undecided);
        else undecided.delete(id);
        notify(id, CLICK);
      }
    },
    // What a control shows, as text.
    shown: shownOf,
    // What the record page knows for SCORE2: a known cardiovascular disease (no number),
    // and what is to check first ("diabète à vérifier").
    setScore2Context({ disease = false, pending = [] }) {
      knownDisease = disease;
      score2Pending = pending;
      if (core) core._vessane_score2();
    },
    // What the record page adds to the printed sheet: { before: [lines], after: [lines] }.
    setPrintExtras(extras) {
      printExtras = extras;
      updatePrintSheet();
    },
    // Calls back on every change a user makes to a control.
    onUserChange(id, callback) {
      const element = control(id);
      const typed = element instanceof HTMLInputElement && element.type !== "checkbox";
      element.addEventListener(typed ? "input" : "change", callback);
    },
  };

  const about = document.getElementById("about");
  document.getElementById("about-open").addEventListener("click", () => about.showModal());
  document.getElementById("about-ok").addEventListener("click", () => about.close());

  // The form stays inert until the core has filled it in, as the window takes no input
  // before its defaults are set.
  createVessane({ controls }).then((module) => {
    core = module;
    core._vessane_start();
    showCholesterolUnit();
    document.querySelector("main").inert = false;
    formReady(form);
    performance.mark("vessane-first-result");
    document.documentElement.dataset.ready = "true";
  });

  if ("serviceWorker" in navigator) {
    window.addEventListener("load", () => navigator.serviceWorker.register("sw.js"));
  }
})();
