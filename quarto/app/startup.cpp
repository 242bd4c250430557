#include "app/startup.h"

#include <QApplication>
#include <exception>

#include "app/form1.h"
#include "app/form2.h"
#include "app/form3.h"
#include "app/form4.h"
#include "app/ui_seams.h"

namespace quarto {

std::unique_ptr<Form1> StartUp(const QStringList& args, UiSeams* seams) {
  auto form1 = std::make_unique<Form1>(seams);
  auto* form2 = new Form2(form1.get());
  auto* form3 = new Form3(form1.get());
  auto* form4 = new Form4(form1.get());
  form1->SetSecondaryWindows(form2, form3, form4);

  form1->SetCommandLine(args);
  if (form1->view().OpenFromCommandLine) {
    try {
      form1->OpenPlot();
    } catch (const std::exception& e) {
      form1->session().seams().ApplicationError(QString::fromUtf8(e.what()));
      return nullptr;
    } catch (...) {
      form1->session().seams().ApplicationError(QStringLiteral("Unknown error"));
      return nullptr;
    }
  }

  if (form1->N20->isChecked())
    form1->N20Click();
  else
    form1->English1Click();

  // The layer colours read by FormCreate, before the table shows them.
  form2->table().DefaultColors = form1->startSettings().DefaultColor;
  form2->table().UserLayerColors = form1->startSettings().Colors;
  form2->ApplyStartColours();
  return form1;
}

int RunQuarto(const QStringList& args, UiSeams* seams) {
  std::unique_ptr<Form1> form1 = StartUp(args, seams);
  if (!form1) return 1;
  form1->ShowAsSettingsSay();
  return QApplication::exec();
}

}  // namespace quarto
