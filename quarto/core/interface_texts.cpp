#include "core/interface_texts.h"

#include <array>

namespace quarto {

namespace {

// Row 32 has no text of its own: SetLayerGridLanguage writes the statuses with the layer table's
// on and off texts. Row 43's texts are what the switch puts between the date and the version.
// Rows 48 and 49 name the picture of each pair that the language shows. A design text stands where
// the window's own text, shown until start-up applies a language, is not the Russian one.
constexpr std::array<InterfaceText, kInterfaceTextRows> kTexts = {{
    {1, "Form1", "Form1", TextProperty::Caption, "Просмотр, печать PLT файлов PCAD 4.5, 8.5",
     "View, print PLT files PCAD 4.5, 8.5", "Просмотр, печать PLT файлов PCAD 4.5, 8.5 "},
    {2, "Form1", "N1", TextProperty::Text, "Файл", "File"},
    {3, "Form1", "N2", TextProperty::Text, "Открыть", "Open File"},
    {4, "Form1", "OpenDialog1", TextProperty::OpenFilter, "PLT файлы PCAD 4.5, 8.5|*.plt|KIR файлы PIPE|*.kir",
     "PLT files PCAD 4.5, 8.5|*.plt|KIR files PIPE|*.kir"},
    {5, "Form1", "BMP1", TextProperty::Text, "Сохранить в BMP", "Save as BMP", "Сохранить как BMP"},
    {6, "Form1", "N4", TextProperty::Text, "Параметры принтера", "Printer setup"},
    {7, "Form1", "N17", TextProperty::Text, "Параметры страницы", "Page setup"},
    {8, "Form1", "N5", TextProperty::Text, "Печать", "Print"},
    {9, "Form1", "N7", TextProperty::Text, "Выход", "Quit"},
    {10, "Form1", "X1", TextProperty::Text, "Вид", "View"},
    {11, "Form1", "X2", TextProperty::Text, "Зеркало X", "Mirror X"},
    {12, "Form1", "Y1", TextProperty::Text, "Зеркало Y", "Mirror Y"},
    {13, "Form1", "N9", TextProperty::Text, "Цветное", "Color"},
    {14, "Form1", "N11", TextProperty::Text, "Негатив", "Negative"},
    {15, "Form1", "N21", TextProperty::Text, "Псевдодюймы", "Mils"},
    {16, "Form1", "N14", TextProperty::Text, "Шрифт", "Font"},
    {17, "Form1", "N12", TextProperty::Text, "Позиция", "Position"},
    {18, "Form1", "N22", TextProperty::Text, "лево-верх", "left-up"},
    {19, "Form1", "N23", TextProperty::Text, "середина-верх", "center-up"},
    {20, "Form1", "N24", TextProperty::Text, "право-верх", "right-up"},
    {21, "Form1", "N26", TextProperty::Text, "лево-середина", "left-center"},
    {22, "Form1", "N27", TextProperty::Text, "середина-середина", "center-center"},
    {23, "Form1", "N28", TextProperty::Text, "право-середина", "right-center", "середина-право"},
    {24, "Form1", "N30", TextProperty::Text, "лево-низ", "left-down"},
    {25, "Form1", "N31", TextProperty::Text, "середина-низ", "center-down"},
    {26, "Form1", "N32", TextProperty::Text, "право-низ", "right-down"},
    {27, "Form1", "N16", TextProperty::Text, "О программе", "About"},
    {28, "Form2", "Form2", TextProperty::Caption, "Таблица цвета и приоритета слоев",
     "The table of colour and priority of layers"},
    {29, "Form2", "CheckBox1", TextProperty::Text, "Цвет по умолчанию", "Colour by default"},
    {30, "Form2", "BitBtn2", TextProperty::Text, "Применить", "Apply"},
    {31, "Form2", "StringGrid1", TextProperty::LayerGrid, "   Номер", "   Number"},
    {32, "Form2", "StringGrid1", TextProperty::LayerGrid, "", ""},
    {33, "Form2", "StringGrid1", TextProperty::LayerGrid, "Статус", "Status"},
    {34, "Form2", "StringGrid1", TextProperty::LayerGrid, "Цвет", "Colour"},
    {35, "Form2", "StringGrid1", TextProperty::LayerGrid, "Названия слоев", "The names of layers"},
    {36, "Form3", "Form3", TextProperty::Caption, "Параметры страницы", "Page setup"},
    {37, "Form3", "RxLabel1", TextProperty::Text, "Поля, см ______________________________",
     "Fields, см ____________________________"},
    {38, "Form3", "RxLabel2", TextProperty::Text, "Левое:", "Left:"},
    {39, "Form3", "RxLabel3", TextProperty::Text, "Правое:", "Right:"},
    {40, "Form3", "RxLabel4", TextProperty::Text, "Верхнее:", "Up:"},
    {41, "Form3", "RxLabel5", TextProperty::Text, "Нижнее:", "Down:"},
    {42, "Form4", "Form4", TextProperty::Caption, "О программе", "About program"},
    {43, "Form4", "RxLabel1", TextProperty::DateVersion, ", Россия\nВерсия ", ", Russia\nVersion "},
    {44, "Form4", "RxLabel2", TextProperty::Text, "Изначально программа написана\nспециально для Папы",
     "From the beginning this program was\ndeveloped specially for Daddy"},
    {45, "Form4", "RxLabel4", TextProperty::Text,
     "Спасибо моему коллеге за:\n> шрифт PCAD (+ кириллица);\n> описание формата PLT 8   .",
     "Thanks to a colleague of mine for:\n> PCAD font (+ cyrillics)    ;\n> PLT 8 description format."},
    {46, "Form4", "RxLabel6", TextProperty::Text, "А также за разработку страницы\nи размещение на ней программы",
     "And also for the developing the web\npage and placing a program on it"},
    {47, "Form4", "RxLabel5", TextProperty::Text, "Программа бесплатная:\nпользуйтесь и делитесь ею",
     "The program is free:\nuse it and pass it on"},
    {48, "Form4", "RxGIFAnimator1", TextProperty::ShownPicture, "RxGIFAnimator1", "RxGIFAnimator4"},
    {49, "Form4", "RxGIFAnimator2", TextProperty::ShownPicture, "RxGIFAnimator2", "RxGIFAnimator5"},
    {50, "Form1", "ToolButton1", TextProperty::Hint, "Открыть", "Load file", "Загрузить файл"},
    {51, "Form1", "ToolButton3", TextProperty::Hint, "Книжный лист", "Portrait"},
    {52, "Form1", "ToolButton4", TextProperty::Hint, "Альбомный лист", "Landscape"},
    {53, "Form1", "ToolButton6", TextProperty::Hint, "Распечатка", "Print", ""},
    {54, "Form1", "ToolButton8", TextProperty::Hint, "Зеркало относительно оси X", "Mirror around axis X"},
    {55, "Form1", "ToolButton9", TextProperty::Hint, "Зеркало относительно оси Y", "Mirror around axis Y"},
    {56, "Form1", "ToolButton11", TextProperty::Hint, "Разместить по центру, растянуть на страницу, кнопка \"F\"",
     "Center, fit to page, key \"F\""},
    {57, "Form1", "ToolButton21", TextProperty::Hint, "Разместить по центру, масштаб 1:1", "Center, 1:1"},
    {58, "Form1", "ToolButton13", TextProperty::Hint, "Увеличить, кнопка \"+\"", "Zoom in, key \"+\""},
    {59, "Form1", "Edit1", TextProperty::Hint, "Масштаб", "Scale"},
    {60, "Form1", "ToolButton14", TextProperty::Hint, "Уменьшить, кнопка \"-\"", "Zoom out, key \"-\""},
    {61, "Form1", "ToolButton16", TextProperty::Hint, "Таблица цвета и приоритета слоев",
     "The table of colour and priority of layers"},
    {62, "Form1", "ComboBox1", TextProperty::Hint, "Windows шрифты", "Windows fonts"},
    {63, "Form1", "ComboBox2", TextProperty::Hint, "Способ заливки полигона", "Poligon filling method"},
    {64, "Form1", "RxSpinEdit1", TextProperty::Hint, "Минимальная толщина линии принтера, в точках",
     "Printers line minimal thicknes,in points"},
    {65, "Form1", "RxSpinEdit2", TextProperty::Hint, "Коррекция высоты Windows шрифтов",
     "Windows fonts height correction"},
    {66, "Form1", "Panel0", TextProperty::Text, "Имя файла:", "File name:"},
    {67, "Form1", "Panel2", TextProperty::Text, "Формат:", "Format:"},
    {68, "Form1", "Panel4", TextProperty::Text, "Версия:", "Version:"},
    {69, "Form1", "Panel6", TextProperty::Text, "Единица измерения:", "Unit:"},
    {70, "Form1", "Panel7", TextProperty::Unit, "Псевдодюйм", "Mils"},
    {71, "Form1", "Panel7", TextProperty::Unit, "Метрика", "Metrics"},
    {72, "Form1", "Panel7", TextProperty::Unit, "Дюйм", "Inch"},

}};

constexpr bool RowsInOrder() {
  for (int i = 0; i < kInterfaceTextRows; ++i)
    if (kTexts[static_cast<size_t>(i)].row != i + 1) return false;
  return true;
}
static_assert(RowsInOrder(), "the rows are numbered 1..72 in order");

struct RunTimeTexts {
  RunTimeText text;
  std::string_view russian;
  std::string_view english;
};

constexpr RunTimeTexts kRunTimeTexts[] = {
    {RunTimeText::LayerOn, "   Вкл.", "   ON"},
    {RunTimeText::LayerOff, "   Выкл.", "   OFF"},
    {RunTimeText::UnknownFormat, "Формат не поддерживается", "Unknown format"},
    {RunTimeText::PlotChangedWhileDrawn, "Файл чертежа изменился во время рисования; повторите команду",
     "The plot file changed while it was being drawn; run the command again"},
    {RunTimeText::NoPrinter, "Принтер не установлен", "No printer is installed"},
    {RunTimeText::PrintingNotStarted, "Не удалось начать печать", "Printing could not be started"},
    {RunTimeText::BitmapWouldBeThePlot, "Рисунок не сохранён: его имя совпало бы с именем файла чертежа",
     "The picture was not saved: its name would be that of the plot file"},
    {RunTimeText::CannotWriteFile, "Не удалось записать файл ", "Cannot write the file "},
    {RunTimeText::FileIsTheOpenPlot, "Это файл открытого чертежа", "It is the open plot file"},
    {RunTimeText::BitmapTooLarge, "Рисунок слишком велик для сохранения в BMP",
     "The picture is too large to save as BMP"},
    {RunTimeText::AboutTitleLine, "просмотр и печать PLT", "PLT view and print"},
    {RunTimeText::AboutMailCall, "Пишите!", "Hello!"},
};

constexpr bool RunTimeTextsInOrder() {
  for (size_t i = 0; i < std::size(kRunTimeTexts); ++i)
    if (static_cast<size_t>(kRunTimeTexts[i].text) != i) return false;
  return true;
}
static_assert(RunTimeTextsInOrder(), "one row for each run-time text, in the order of the enum");

struct FixedText {
  std::string_view form;
  std::string_view target;
  std::string_view text;
};

// The language menu and the font menu's items, the tool buttons' own texts (their pictures show
// instead; the texts name them for screen readers), the OK buttons and the about box's link labels.
constexpr FixedText kFixedTexts[] = {
    {"Form1", "Language1", "Language"},
    {"Form1", "N20", "Russian"},
    {"Form1", "English1", "English"},
    {"Form1", "PCAD1", "PCAD"},
    {"Form1", "ANSI1", "ANSI"},
    {"Form1", "OEM1", "OEM"},
    {"Form1", "ToolButton1", "Open"},
    {"Form1", "ToolButton3", "P"},
    {"Form1", "ToolButton4", "L"},
    {"Form1", "ToolButton6", "Print"},
    {"Form1", "ToolButton8", "X"},
    {"Form1", "ToolButton9", "Y"},
    {"Form1", "ToolButton11", "F"},
    {"Form1", "ToolButton21", "1:1"},
    {"Form1", "ToolButton13", "+"},
    {"Form1", "ToolButton14", "-"},
    {"Form1", "ToolButton16", "Layers"},
    {"Form2", "BitBtn1", "OK"},
    {"Form3", "BitBtn1", "OK"},
    {"Form4", "RxLabel3", "E-mail: author@example.org"},
    {"Form4", "RxLabel7", "https://example.org/quarto/"},
};

constexpr std::string_view kFillStyleNames[] = {"Solid",     "BDiagonal",  "FDiagonal", "Cross",
                                                "DiagCross", "Horizontal", "Vertical"};

constexpr std::string_view kDate = "03.05.2004";
constexpr std::string_view kVersion = "2.5";
constexpr size_t kDateLength = 10;
constexpr size_t kVersionLength = 3;

// The length in bytes of the first n UTF-8 characters of s (all of s when it has fewer).
size_t Utf8Prefix(std::string_view s, size_t n) {
  size_t i = 0;
  for (; i < s.size() && n > 0; --n) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
  }
  return i;
}

// The byte offset where the last n UTF-8 characters of s begin (0 when it has fewer).
size_t Utf8SuffixStart(std::string_view s, size_t n) {
  size_t i = s.size();
  for (; i > 0 && n > 0; --n) {
    --i;
    while (i > 0 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) --i;
  }
  return i;
}

}  // namespace

std::span<const InterfaceText> InterfaceTexts() { return kTexts; }

const InterfaceText& InterfaceTextRow(int row) { return kTexts.at(static_cast<size_t>(row - 1)); }

std::string_view InterfaceTextFor(int row, bool russian) { return InterfaceTextRow(row).In(russian); }

std::string_view InterfaceDesignText(int row) {
  const InterfaceText& text = InterfaceTextRow(row);
  return text.design.value_or(text.russian);
}

std::string_view RunTimeTextFor(RunTimeText text, bool russian) {
  const RunTimeTexts& row = kRunTimeTexts[static_cast<size_t>(text)];
  return russian ? row.russian : row.english;
}

std::string_view FixedTextOf(std::string_view form, std::string_view target) {
  for (const FixedText& fixed : kFixedTexts)
    if (fixed.form == form && fixed.target == target) return fixed.text;
  return {};
}

std::span<const std::string_view> FillStyleNames() { return kFillStyleNames; }

std::string_view InitialDateVersionText() {
  static const std::string text =
      std::string(kDate) + std::string(InterfaceTextFor(kRowDateVersion, true)) + std::string(kVersion);
  return text;
}

std::string DateVersionText(std::string_view current, bool russian) {
  std::string out(current.substr(0, Utf8Prefix(current, kDateLength)));
  out += InterfaceTextFor(kRowDateVersion, russian);
  out += current.substr(Utf8SuffixStart(current, kVersionLength));
  return out;
}

}  // namespace quarto
