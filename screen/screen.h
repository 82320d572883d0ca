// The screen that the window and the browser page both draw: what each event shows, as texts,
// selections, focus and beeps, worked out from the rules. The window and the page only render
// these answers and forward their events; nothing here knows Qt or the browser.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rules/id_kinds.h"

namespace screen {

// "Taloma v2.0", as the windows' texts name the program.
std::string ProgramAndVersion();
// "Taloma v2.0 (身分證字號產生器)".
std::string WindowTitle();
// The two centred lines the message panel opens with.
std::string WelcomeCaption();
// The About window's three lines: name and version, purpose, completion date.
std::string AboutInfo();

// The number box after its text changed to `length` characters (UTF-16 units): which of 清除號碼
// and 檢測錯誤 can be pressed, and whether the check takes the focus (at the tenth character).
struct BoxState {
  bool clearEnabled = false;
  bool checkEnabled = false;
  bool checkTakesFocus = false;
};
BoxState AfterEdit(std::size_t length);

// Characters of the number box, in UTF-16 units.
struct Selection {
  int start = 0;
  int length = 0;
};

// What 檢測錯誤 shows for the text in the box.
struct CheckOutcome {
  bool valid = false;
  std::string box;      // a fault of form: the prompt of the message box; empty for none
  std::string caption;  // otherwise the message panel's new caption
  Selection select;     // selected afterwards, so the user can type over it; none when valid
  bool beep = false;    // a wrong check digit
};

// For national numbers alone, the window's check: letter, sex and digit faults in a box, a wrong
// check digit in the panel with a beep, a valid number with its sex and place. For other kinds,
// the verdict's sentence in the panel.
CheckOutcome Check(std::u16string_view typed, rules::KindSet kinds);

// The page's check: as Check for the kinds chosen, but a number that another identity kind takes
// is valid as that kind, as taloma-id check has it.
CheckOutcome CheckChosenOrAny(std::u16string_view typed, rules::KindSet chosen);

// The postal panel for a row of the place list.
struct Panel {
  std::string heading;
  bool showAreaCode = false;
  std::string areaCode;
  bool paintFirst = false;         // the heading is painted before the long list is filled
  bool refill = false;             // false for an index with no row: the list stays as it was
  std::vector<std::string> lines;  // the postal list, when it is refilled
};
// The postal panel for row `index`; without `lines`, its heading and area code alone.
Panel PanelOf(int index, bool lines = true);

// The caption 產生號碼 leaves after a batch of `count` whose last number is `last`: its place and
// sex, or the placeholder when the places were drawn and the batch holds more than one. A resident
// number's batch names its kind.
std::string ProducedCaption(int count, bool placesDrawn, std::string_view last);

// The list's tooltip after a batch: the decoding hint when the places were drawn, else none.
std::string_view ListTip(bool placesDrawn);

// What decoding a listed number shows: where it is registered and whose it is; for a text that
// is no valid national number, the verdict's sentence.
std::string Decoded(std::string_view number);

// The numbers as the clipboard takes them: each followed by CR LF.
std::string ClipboardText(std::span<const std::string> numbers);

// The captions of the clear button's two modes and of the copy buttons.
std::string_view ClearedCaption(bool cut);

// A word of the page, by the key its HTML names it with (data-text="produce").
struct PageWord {
  std::string_view key;
  std::string_view text;
};
std::span<const PageWord> PageWords();

}  // namespace screen
