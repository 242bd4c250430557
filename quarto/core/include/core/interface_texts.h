#pragma once
// The interface texts of both languages in one table: for each target of the language switch, in
// the order the switch writes them, the window, the component's name, what of it is written, and
// the Russian and English text. All texts are UTF-8; "\n" is a line feed. The window side (the
// language commands of the main window) walks the table; the scan pass and the layer table take
// their unit names and grid headers from it too, so each literal exists once.
//
// Also here: the texts a window holds as it is made where they differ from the Russian ones, the
// rule by which the switch rewrites the about box's date and version label, the texts written or
// drawn later in the language of that moment, the texts that read the same in both languages, and
// the about box's link addresses.
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quarto {

enum class TextProperty {
  Caption,       // the window's caption
  Text,          // a menu item's caption, a label's, check box's or button's text, a status panel
  Hint,          // the hint (tool tip) of a tool-bar control
  OpenFilter,    // the open dialog's filter, "Name|*.ext|Name|*.ext"
  LayerGrid,     // a header of the layer grid, or (row 32) the row statuses: SetLayerGridLanguage
  DateVersion,   // the about box's date and version label: DateVersionText
  ShownPicture,  // the picture of a pair shown in this language; the other one is hidden
  Unit,          // status panel 7: a unit's name; the other language's name becomes this one
};

struct InterfaceText {
  int row;                  // 1..72, the order in which the switch writes
  std::string_view form;    // "Form1".."Form4"
  std::string_view target;  // the component's name inside that window
  TextProperty property;
  std::string_view russian;
  std::string_view english;
  // What the window holds as it is made, until start-up applies a language, where that is not the
  // Russian text.
  std::optional<std::string_view> design = std::nullopt;

  std::string_view In(bool russian_language) const { return russian_language ? russian : english; }
};

inline constexpr int kInterfaceTextRows = 72;

// Rows the rest of the program refers to by number.
enum InterfaceRow : int {
  kRowForm1Caption = 1,
  kRowOpenFilter = 4,
  kRowForm2Caption = 28,
  kRowDefaultColour = 29,
  kRowApplyOrder = 30,
  kRowGridNumber = 31,
  kRowGridStatuses = 32,
  kRowGridStatus = 33,
  kRowGridColour = 34,
  kRowGridNames = 35,
  kRowForm3Caption = 36,
  kRowAboutCaption = 42,
  kRowDateVersion = 43,
  kRowAboutDedication = 44,
  kRowAboutThanks = 45,
  kRowAboutWebThanks = 46,
  kRowAboutFreeNote = 47,
  kRowStatusFileName = 66,
  kRowStatusFormat = 67,
  kRowStatusVersion = 68,
  kRowStatusUnit = 69,
  kRowUnitMils = 70,
  kRowUnitMetric = 71,
  kRowUnitInch = 72,
};

// Rows 1..72 in order.
std::span<const InterfaceText> InterfaceTexts();
// One row (1..72).
const InterfaceText& InterfaceTextRow(int row);
// The text of one row in one language.
std::string_view InterfaceTextFor(int row, bool russian);
// The text of one row as the window holds it when it is made.
std::string_view InterfaceDesignText(int row);

// The about box's date and version label as first shown: date, place text, line feed, version.
std::string_view InitialDateVersionText();
// The same label after a switch: its first 10 characters (the date) and last 3 (the version) kept,
// the place text and the word "Version" of the new language between them. Characters, not bytes:
// a label holding Cyrillic still keeps its ASCII date and version whole.
std::string DateVersionText(std::string_view current, bool russian);

// Texts written or drawn at run time, each in the language chosen at that moment.
enum class RunTimeText {
  LayerOn,                // a layer table row's status while the layer is drawn
  LayerOff,               // and while it is not
  UnknownFormat,          // a file whose signature is neither plot format
  PlotChangedWhileDrawn,  // a plot file rewritten again while a print or an export was drawing it
  NoPrinter,              // printing with no printer installed
  PrintingNotStarted,     // a printer that does not begin the document
  BitmapWouldBeThePlot,   // a bitmap name that would be the plot file's own
  CannotWriteFile,        // the start of a failed save's message, the file's name follows
  FileIsTheOpenPlot,      // why: the bitmap name reaches the open plot (a link to it)
  BitmapTooLarge,         // a bitmap export beyond the size limits
  AboutTitleLine,         // the line under the name in the about box's title picture
  AboutMailCall,          // the call above the envelope of its mail picture
};
std::string_view RunTimeTextFor(RunTimeText text, bool russian);

// The texts that read the same in both languages, which no switch writes: by window and
// component; empty for a component that has none of them.
std::string_view FixedTextOf(std::string_view form, std::string_view target);
// The polygon fill styles of the main window's list, in the order of their codes.
std::span<const std::string_view> FillStyleNames();

// The about box's links.
inline constexpr std::string_view kAuthorMailLink = "mailto:author@example.org";
inline constexpr std::string_view kHomePageLink = "https://example.org/";
inline constexpr std::string_view kProgramPageLink = "https://example.org/quarto/";

}  // namespace quarto
