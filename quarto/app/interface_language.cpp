#include "app/interface_language.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QPointer>
#include <QTranslator>

#include "app/form1.h"
#include "app/form2.h"
#include "app/form3.h"
#include "app/form4.h"
#include "app/rx_components.h"
#include "core/interface_texts.h"

namespace quarto {

namespace {

QWidget* WindowNamed(Form1& form, std::string_view name) {
  if (name == "Form1") return &form;
  if (name == "Form2") return form.form2();
  if (name == "Form3") return form.form3();
  if (name == "Form4") return form.form4();
  return nullptr;
}

void SetComponentText(QObject* component, const QString& text) {
  if (auto* label = qobject_cast<ShadowLabel*>(component))
    label->SetText(text);
  else if (auto* menu = qobject_cast<QMenu*>(component))
    menu->setTitle(text);
  else if (auto* action = qobject_cast<QAction*>(component))
    action->setText(text);
  else if (auto* plain = qobject_cast<QLabel*>(component))
    plain->setText(text);
  else if (auto* button = qobject_cast<QAbstractButton*>(component))
    button->setText(text);
}

}  // namespace

QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString InterfaceQString(int row, bool russian) { return FromUtf8(InterfaceTextFor(row, russian)); }

QString DesignQString(int row) { return FromUtf8(InterfaceDesignText(row)); }

QString RunTimeQString(RunTimeText text, bool russian) { return FromUtf8(RunTimeTextFor(text, russian)); }

QString FixedQString(std::string_view form, std::string_view target) { return FromUtf8(FixedTextOf(form, target)); }

QObject* FindFormComponent(QWidget* window, const QString& name) {
  if (!window) return nullptr;
  if (window->objectName() == name) return window;
  // Breadth first, so a menu is found before its own action of the same name.
  QObjectList queue = window->children();
  while (!queue.isEmpty()) {
    QObject* o = queue.takeFirst();
    if (o->isWidgetType()) {
      auto* w = static_cast<QWidget*>(o);
      if (w->isWindow() && !qobject_cast<QMenu*>(w)) continue;  // another window (menus are the form's)
    }
    if (o->objectName() == name) return o;
    queue += o->children();
  }
  return nullptr;
}

bool ApplyQtTranslations(bool russian) {
  // One catalogue, loaded once and owned by the application; removing it gives Qt's English back.
  // Each change tells every widget (a LanguageChange event), so only a change is made.
  static QPointer<QTranslator> qtRussian;
  static bool installed = false;
  if (installed == russian) return true;
  if (!russian) {
    if (qtRussian) QCoreApplication::removeTranslator(qtRussian);
    installed = false;
    return true;
  }
  if (!qtRussian) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
      delete translator;
      return false;
    }
    qtRussian = translator;
  }
  installed = QCoreApplication::installTranslator(qtRussian);
  return installed;
}

void ApplyInterfaceLanguage(Form1& form, bool russian) {
  (russian ? form.N20 : form.English1)->setChecked(true);
  ApplyQtTranslations(russian);

  for (const InterfaceText& row : InterfaceTexts()) {
    QWidget* window = WindowNamed(form, row.form);
    if (!window) continue;
    const QString text = FromUtf8(row.In(russian));
    const QString target = FromUtf8(row.target);
    switch (row.property) {
      case TextProperty::Caption: window->setWindowTitle(text); break;
      case TextProperty::Text: SetComponentText(FindFormComponent(window, target), text); break;
      case TextProperty::Hint:
        if (auto* w = qobject_cast<QWidget*>(FindFormComponent(window, target))) w->setToolTip(text);
        break;
      case TextProperty::OpenFilter: form.setOpenFilter(text); break;
      case TextProperty::LayerGrid:
        // The statuses' row writes the headers (rows 31 and 33 to 35) with them; each row keeps
        // its on/off state.
        if (row.row == kRowGridStatuses) {
          SetLayerGridLanguage(form.form2()->table().Grid, russian);
          form.form2()->StringGrid1->update();
        }
        break;
      case TextProperty::DateVersion:
        if (auto* label = qobject_cast<ShadowLabel*>(FindFormComponent(window, target)))
          label->SetText(FromUtf8(DateVersionText(label->text().toStdString(), russian)));
        break;
      case TextProperty::ShownPicture: {
        // Hidden first, so that the pair never shows both pictures.
        if (auto* other = qobject_cast<QWidget*>(FindFormComponent(window, FromUtf8(row.In(!russian))))) other->hide();
        if (auto* shown = qobject_cast<QWidget*>(FindFormComponent(window, text))) shown->show();
        break;
      }
      case TextProperty::Unit: {
        // Only the other language's name of this unit is replaced; any other text stays.
        QLabel* panel = form.statusPanel(7);
        if (panel->text() == FromUtf8(row.In(!russian))) panel->setText(text);
        break;
      }
    }
  }
}

}  // namespace quarto
