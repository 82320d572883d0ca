// The page's behaviour: the window's, control by control. It only shows and collects; every
// verdict, number, place and message comes from the WebAssembly module.
"use strict";

(async () => {
  // The module comes inside the page, a character per byte read back through a key. It is
  // compiled at once, so that the page is ready before the browser first draws it; a browser that
  // compiles no module that large on its main thread compiles it in the background.
  const fromCode = new Uint8Array(0x10000);
  for (let byte = 0; byte < 256; byte += 1) fromCode[talomaKey.charCodeAt(byte)] = byte;
  const bytes = new Uint8Array(talomaWasm.length);
  for (let i = 0; i < bytes.length; i += 1) bytes[i] = fromCode[talomaWasm.charCodeAt(i)];
  const module = await createTalomaModule({
    instantiateWasm(imports, receive) {
      let compiled = null;
      try {
        compiled = new WebAssembly.Module(bytes);
      } catch {
        WebAssembly.instantiate(bytes, imports).then(({ instance }) => receive(instance));
      }
      if (compiled) receive(new WebAssembly.Instance(compiled, imports));
      return {};
    },
  });
  const words = module.words();
  const t = words.texts;
  const $ = (id) => document.getElementById(id);
  const [txtNo, lblTel, cmdProduce, cmdCheck, cmdClear, cboPlace, cboHowmuch, cboKind,
    cboCategory, lstNo, lstZonenum, cmdCopy, cmdSelectall, cmdAbout] =
    ["txtNo", "lblTel", "cmdProduce", "cmdCheck", "cmdClear", "cboPlace", "cboHowmuch",
      "cboKind", "cboCategory", "lstNo", "lstZonenum", "cmdCopy", "cmdSelectall", "cmdAbout"].map($);
  // The words, lists and postal panel stand in the page already, from the same module; lists
  // filled anew here are filled from it too.
  const fill = (select, items) => {
    select.replaceChildren(...items.map(([value, text]) => new Option(text, value)));
  };

  // The message panel: left-aligned, but for the welcome text and a decoded number.
  const say = (caption, centred = false) => {
    lblTel.textContent = caption.replaceAll("\r\n", "\n");
    lblTel.classList.toggle("centred", centred);
  };

  const kinds = () => 1 << Number(cboKind.value);
  let decodable = false;  // the last batch drew its places, so a listed number can be decoded
  let keepFocus = false;  // a decoded number is put into the box, which must not move the focus

  // The clear button's two modes.
  const clearMode = () => { cmdClear.textContent = t.clear; cmdClear.title = t.clearTip; };
  const cutMode = () => { cmdClear.textContent = t.cut; cmdClear.title = t.cutTip; };

  // txtNo_Change: the buttons follow the length, and any edit ends cut mode.
  const changed = () => {
    clearMode();
    const box = module.afterEdit(txtNo.value.length);
    cmdClear.disabled = !box.clearEnabled;
    cmdCheck.disabled = !box.checkEnabled;
    if (box.checkTakesFocus && !keepFocus) cmdCheck.focus();
  };

  // Puts `text` in place of a box's selection, as much of it as the box's length limit leaves room
  // for, a surrogate pair whole or not at all. False when that changes nothing: a key that a full
  // box refuses is no edit.
  const insert = (box, text) => {
    const start = box.selectionStart, end = box.selectionEnd;
    const room = box.maxLength - (box.value.length - (end - start));
    let kept = text.slice(0, Math.max(room, 0));
    if (/[\uD800-\uDBFF]$/.test(kept)) kept = kept.slice(0, -1);
    if (kept === "" && start === end) return false;
    box.setRangeText(kept, start, end, "end");
    return true;
  };
  const isPaste = (event) => event.inputType === "insertFromPaste" || event.inputType === "insertFromDrop";
  const pastedText = (event) => event.data ?? event.dataTransfer?.getData("text/plain") ?? "";
  // Typing upper-cases a to z; a paste or drop loses what nobody sees and keeps its case. A key
  // the full box refuses leaves the buttons and focus as they are.
  txtNo.addEventListener("beforeinput", (event) => {
    if (event.inputType !== "insertText" && !isPaste(event)) return;
    const data = pastedText(event);
    event.preventDefault();
    if (insert(txtNo, isPaste(event) ? module.pasted(data) : module.typed(data))) changed();
  });
  txtNo.addEventListener("input", changed);

  // A message box of the window's: title, prompt and 確定; focus and selection after it closes.
  const box = $("box");
  const showBox = (title, prompt, afterwards) => {
    $("boxTitle").textContent = title;
    $("boxText").textContent = prompt;
    box.onclose = afterwards;
    box.showModal();
    $("boxOk").focus();
  };
  $("boxOk").addEventListener("click", () => box.close());

  // One audio context for every beep: a browser allows only a few at a time.
  let audio = null;
  const beep = () => {
    try {
      audio ??= new AudioContext();
      const tone = audio.createOscillator();
      tone.connect(audio.destination);
      tone.frequency.value = 880;
      tone.start();
      tone.stop(audio.currentTime + 0.15);
    } catch { /* no sound where there is no audio */ }
  };

  cmdCheck.addEventListener("click", () => {
    const verdict = module.checkTyped(txtNo.value, kinds());
    const select = () => {
      txtNo.focus();
      if (verdict.select) txtNo.setSelectionRange(verdict.select[0], verdict.select[0] + verdict.select[1]);
    };
    if (verdict.box) return showBox(verdict.title, verdict.box, select);
    say(verdict.caption);
    if (!verdict.valid) {
      select();
      if (verdict.beep) beep();
      return;
    }
    txtNo.focus();
    txtNo.setSelectionRange(0, 0);
    cutMode();
    cmdClear.focus();
  });

  const copyText = async (text) => {
    try {
      await navigator.clipboard.writeText(text);
    } catch {
      const area = Object.assign(document.createElement("textarea"), { value: text });
      document.body.append(area);
      area.select();
      document.execCommand("copy");
      area.remove();
    }
  };

  cmdClear.addEventListener("click", async () => {
    if (cmdClear.textContent === t.cut) {
      await copyText(txtNo.value);
      txtNo.value = "";
      changed();
      say(t.cutDone);
    } else {
      txtNo.value = "";
      changed();
      say(t.cleared);
    }
    txtNo.focus();
    cmdCheck.disabled = true;
    cmdClear.disabled = true;
  });

  // The postal-code panel follows the place.
  const showPanel = () => {
    const panel = module.panel(Number(cboPlace.value));
    $("lblZonenum").textContent = panel.heading;
    $("lblAreacode").parentElement.hidden = panel.areaCode === null;
    $("lblAreacode").textContent = panel.areaCode ?? "";
    // A list option collapses runs of spaces; the lines keep their two.
    fill(lstZonenum, panel.lines.map((line) => [line, line.replaceAll(" ", "\u00A0")]));
    lstZonenum.scrollTop = 0;
  };
  cboPlace.addEventListener("change", showPanel);
  cboKind.addEventListener("change", () => {
    $("categoryField").hidden = words.kinds[cboKind.value] !== "resident";
  });

  // The number list: a list box of the page's own, since a phone shows a multiple <select> as a
  // pop-up where a chosen number cannot be tapped again, and a <select> does not say which option
  // has the focus. It keeps the window's ways: a click selects one number, Ctrl adds or removes
  // one, Shift extends; the arrows, Home, End and the page keys move and select, Shift extending
  // and Ctrl moving the focus alone; Space selects, Ctrl+A selects all, Ctrl+C copies.
  const items = () => lstNo.children;
  let active = -1;  // the number with the focus, which Enter decodes
  let anchor = 0;   // where a Shift selection starts
  const isSelected = (item) => item.getAttribute("aria-selected") === "true";
  const selectedNumbers = () => [...items()].filter(isSelected).map((item) => item.textContent);
  const setSelected = (item, on) => item.setAttribute("aria-selected", String(on));
  const focusOn = (index) => {
    if (items().length === 0) return;
    items()[active]?.classList.remove("active");
    active = Math.max(0, Math.min(index, items().length - 1));
    const item = items()[active];
    item.classList.add("active");
    lstNo.setAttribute("aria-activedescendant", item.id);
    item.scrollIntoView({ block: "nearest" });
  };
  // Selects from the anchor to `index` (or `index` alone), keeping the rest when `keep` is set.
  const selectTo = (index, { extend = false, keep = false } = {}) => {
    if (!extend) anchor = index;
    const [low, high] = anchor < index ? [anchor, index] : [index, anchor];
    [...items()].forEach((item, i) => {
      if (i >= low && i <= high) setSelected(item, true);
      else if (!keep) setSelected(item, false);
    });
    cmdCopy.disabled = false;
    focusOn(index);
  };
  const toggle = (index) => {
    setSelected(items()[index], !isSelected(items()[index]));
    anchor = index;
    cmdCopy.disabled = false;
    focusOn(index);
  };
  const selectAll = () => {
    for (const item of items()) setSelected(item, true);
  };

  const seed = () => crypto.getRandomValues(new Uint32Array(2));
  cmdProduce.addEventListener("click", () => {
    const place = Number(cboPlace.value);
    const [high, low] = seed();
    const batch = module.generate(Number(cboHowmuch.value), place, $("optGirl").checked ? 1 : 0,
      Number(cboKind.value), Number(cboCategory.value), high, low);
    lstNo.replaceChildren(...batch.numbers.map((number, i) => {
      const item = document.createElement("div");
      item.id = `lstNo-${i}`;
      item.setAttribute("role", "option");
      setSelected(item, false);
      item.textContent = number;
      return item;
    }));
    lstNo.removeAttribute("aria-activedescendant");
    active = -1;
    anchor = 0;
    lstNo.scrollTop = 0;
    decodable = place === 0;
    $("decodeHint").hidden = !decodable;
    lstNo.title = batch.tip;
    say(batch.caption);
    cmdSelectall.disabled = false;
  });

  // Copying the selected numbers, or all of them, and decoding one.
  const copySelected = () => copyText(module.clipboardText(selectedNumbers()));
  const copyChosen = async () => {
    if (selectedNumbers().length === 0) return say(t.nothingSelected);
    await copySelected();
    say(t.copiedSelected);
  };
  cmdCopy.addEventListener("click", copyChosen);
  cmdSelectall.addEventListener("click", async () => {
    selectAll();
    await copySelected();
    say(t.copiedAll);
  });
  const decode = (item) => {
    if (!decodable || !item) return;
    keepFocus = true;
    txtNo.focus();
    txtNo.value = item.textContent;
    changed();
    keepFocus = false;
    say(module.decode(item.textContent), true);
    cutMode();
    cmdClear.disabled = false;
    cmdClear.focus();
  };

  // By pointer: a tap on a number already selected decodes it, as a double click does.
  let tappedSelected = null;
  lstNo.addEventListener("pointerdown", (event) => {
    const item = event.target.closest("[role=option]");
    tappedSelected = item && isSelected(item) && event.pointerType !== "mouse" ? item : null;
  });
  lstNo.addEventListener("click", (event) => {
    const item = event.target.closest("[role=option]");
    if (!item) return;
    const ctrl = event.ctrlKey || event.metaKey;
    if (item === tappedSelected && !ctrl && !event.shiftKey) return decode(item);
    const index = [...items()].indexOf(item);
    if (ctrl && !event.shiftKey) toggle(index);
    else selectTo(index, { extend: event.shiftKey, keep: ctrl });
  });
  lstNo.addEventListener("dblclick", (event) => decode(event.target.closest("[role=option]")));

  lstNo.addEventListener("keydown", (event) => {
    const count = items().length;
    const ctrl = event.ctrlKey || event.metaKey;
    const page = Math.max(1, Math.floor(lstNo.clientHeight / (items()[0]?.offsetHeight || 1)) - 1);
    const moves = { ArrowDown: active + 1, ArrowUp: active - 1, Home: 0, End: count - 1,
      PageDown: active + page, PageUp: active - page };
    if (event.key === "Enter") {
      decode(items()[active]);
    } else if (count === 0) {
      return;
    } else if (event.key in moves) {
      const to = Math.max(0, Math.min(moves[event.key], count - 1));
      if (ctrl && !event.shiftKey) focusOn(to);
      else selectTo(to, { extend: event.shiftKey });
    } else if (event.key === " ") {
      if (ctrl) toggle(Math.max(active, 0));
      else selectTo(Math.max(active, 0), { extend: event.shiftKey });
    } else if (ctrl && event.key.toLowerCase() === "a") {
      selectAll();
      cmdCopy.disabled = false;
    } else if (ctrl && event.key.toLowerCase() === "c") {
      copyChosen();
    } else {
      return;
    }
    event.preventDefault();
  });

  // 其他號碼: check a number of another kind, or draw ten of it.
  const [cboOtherKind, txtOther, lblOther, lstOther, cmdOtherCopy] =
    ["cboOtherKind", "txtOther", "lblOther", "lstOther", "cmdOtherCopy"].map($);
  const otherSay = (caption, wrong) => {
    lblOther.textContent = caption;
    lblOther.classList.toggle("wrong", wrong);
  };
  const otherCheck = () => {
    const verdict = module.formCheck(txtOther.value, Number(cboOtherKind.value));
    otherSay(verdict.caption, !verdict.valid);
  };
  $("cmdOtherCheck").addEventListener("click", otherCheck);
  txtOther.addEventListener("keydown", (event) => {
    if (event.key === "Enter") otherCheck();
  });
  // A pasted number loses what nobody sees, as in the number box, and the white space around it;
  // the verdict on the last number goes once the box holds another.
  txtOther.addEventListener("beforeinput", (event) => {
    if (!isPaste(event)) return;
    event.preventDefault();
    if (insert(txtOther, module.pasted(pastedText(event)).trim())) otherSay("", false);
  });
  txtOther.addEventListener("input", () => otherSay("", false));
  $("cmdOtherProduce").addEventListener("click", () => {
    const [high, low] = seed();
    const numbers = module.formGenerate(words.otherBatch, Number(cboOtherKind.value), high, low);
    fill(lstOther, numbers.map((number) => [number, number]));
    cmdOtherCopy.disabled = numbers.length === 0;
    otherSay(numbers.length === 0 ? t.otherNoMobile : "", numbers.length === 0);
  });
  // A produced number picked from the list goes into the box, to be checked or changed.
  lstOther.addEventListener("change", () => {
    txtOther.value = lstOther.value;
    otherSay("", false);
  });
  cmdOtherCopy.addEventListener("click", async () => {
    await copyText(module.clipboardText([...lstOther.options].map((option) => option.value)));
    otherSay(t.otherCopied, false);
  });

  // 關於: the About window, with the version and the mail link.
  const about = $("frmAbout");
  cmdAbout.addEventListener("click", () => {
    about.showModal();
    $("cmdClose").focus();
  });
  $("cmdClose").addEventListener("click", () => about.close());
  about.addEventListener("close", () => txtNo.focus());

  // The hosted folder's copy of the page keeps itself for use offline; the single file has no
  // manifest and asks for nothing.
  if (document.querySelector("link[rel=manifest]") && "serviceWorker" in navigator) {
    navigator.serviceWorker.register("sw.js")
      .catch((error) => console.warn(`not kept for use offline: ${error.message}`));
  }

  for (const control of document.querySelectorAll("[data-needs-module]")) control.disabled = false;
  txtNo.focus();
  $("needsWasm").remove();
  $("frmTwno").setAttribute("aria-busy", "false");
  document.documentElement.dataset.ready = "true";
  performance.mark("taloma-ready");
})();
