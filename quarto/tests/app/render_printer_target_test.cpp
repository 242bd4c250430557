// The printer target end to end: one PDF page, the preview's page without a printer, printing
// that cannot start, the printer setup through its seam and the real dialog, and printing through
// a named print queue.
#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

#include "app/render_targets.h"
#include "app/ui_seams.h"
#include "render_targets_fixture.h"

using namespace quarto;
using namespace quarto::test;

class PrinterTargetTest : public QObject, private RenderTargetsFixture {
  Q_OBJECT

 private slots:
  void init() { SetUp(); }
  void cleanup() { TearDown(); }

  void printerTargetGivesOnePdfPage() {
    const QString path = dir_.filePath("print.plt");
    WriteBoard(path);
    Open(path);
    const QString pdf = dir_.filePath("print.pdf");
    {
      const std::unique_ptr<QPrinter> printer = PdfFilePrinter(pdf);
      QVERIFY(PrintPlot(*form_, *printer));
      QCOMPARE(printer->resolution(), 300);
      QVERIFY(form_->view().FitPending == false);
    }
    const QByteArray bytes = ReadAll(pdf);
    QCOMPARE(bytes.left(5), QByteArray("%PDF-"));
    const auto pages = QString::fromLatin1(bytes).count(QRegularExpression("/Type\\s*/Page\\b(?!s)"));
    QCOMPARE(pages, 1);
    QVERIFY(seams_->errors.isEmpty());
  }

  // The printer page is kept per window session: two windows never share it.
  void withoutAPrinterThePreviewShowsAnA4PageAt300Dpi() {
    WindowSession session(seams_.get()), other(seams_.get());
    const PrinterPage portrait = CurrentPrinterPage(session, false), landscape = CurrentPrinterPage(session, true);
    QCOMPARE(portrait.width, 2480);  // 210 x 297 mm at 300 dots per inch
    QCOMPARE(portrait.height, 3508);
    QCOMPARE(landscape.width, 3508);
    QCOMPARE(landscape.height, 2480);
    session.printerPage = PrinterPage{100, 200};
    QCOMPARE(CurrentPrinterPage(session, false).width, 100);
    QCOMPARE(CurrentPrinterPage(other, false).width, 2480);
    ForgetCurrentPrinterPage(session);
    QCOMPARE(CurrentPrinterPage(session, false).width, 2480);
  }

  // A system printer (here a 600 dpi file printer that the seams give) is the window's printer at
  // start: the view takes its resolution, the preview its page, and File > Print prints one page
  // on it.
  void theSystemPrinterIsTheWindowsPrinter() {
    seams_->systemPrinterFile = dir_.filePath("system.pdf");
    seams_->systemPrinterDpi = 600;
    const QString path = dir_.filePath("system.plt");
    WriteBoard(path);
    Open(path);
    QCOMPARE(form_->view().PrinterDpiX, 600);
    QCOMPARE(form_->view().PrinterDpiY, 600);
    // The board is wider than high: its scan turned the printer to landscape.
    const PrinterPage page = CurrentPrinterPage(form_->session(), true);
    const PrinterPage expected = PageOf(form_->session().printer());
    QCOMPARE(page.width, expected.width);
    QCOMPARE(page.height, expected.height);
    QVERIFY(page.height > 4000 && page.width > page.height);  // an A4 sheet at 600 dpi
    form_->N5Click();
    QVERIFY(seams_->errors.isEmpty());
    const QByteArray bytes = ReadAll(seams_->systemPrinterFile);
    QCOMPARE(QString::fromLatin1(bytes).count(QRegularExpression("/Type\\s*/Page\\b(?!s)")), 1);
  }

  // No printer installed (the seams give the window none) and a printer that cannot start: each
  // is reported and leaves the view as it was.
  void printingThatCannotStartSaysSoAndLeavesTheViewAlone() {
    const QString path = dir_.filePath("noprinter.plt");
    WriteBoard(path);
    Open(path);
    const bool ru = form_->russian();
    const std::unique_ptr<QPrinter> unwritable = PdfFilePrinter(dir_.filePath("no/such/folder/x.pdf"));
    const std::pair<QPrinter*, QString> cases[] = {
        {&form_->session().printer(),
         ru ? QString::fromUtf8("Принтер не установлен") : QStringLiteral("No printer is installed")},
        {unwritable.get(),
         ru ? QString::fromUtf8("Не удалось начать печать") : QStringLiteral("Printing could not be started")},
    };
    for (const auto& [printer, message] : cases) {
      seams_->errors.clear();
      QVERIFY(form_->view().FitPending);
      QVERIFY(!PrintPlot(*form_, *printer));
      QCOMPARE(seams_->errors, QStringList{message});
      QVERIFY(form_->view().FitPending);
    }
  }

  // Printer setup through the seam: a 600 dpi landscape file printer becomes the session's
  // printer; the view takes its resolution, the landscape button goes down, the preview shows its
  // page, and printing prints one landscape page on it. A cancelled setup changes nothing.
  void printerSetupChoosesTheSessionPrinter() {
    const QString path = dir_.filePath("setup.plt");
    WriteBoard(path);
    Open(path);
    const int dpiBefore = form_->view().PrinterDpiX;
    const bool portraitBefore = form_->ToolButton3->isChecked();
    form_->N4Click();  // cancelled
    QCOMPARE(seams_->printerSetups, 1);
    QCOMPARE(form_->view().PrinterDpiX, dpiBefore);
    QCOMPARE(form_->ToolButton3->isChecked(), portraitBefore);

    const QString pdf = dir_.filePath("setup.pdf");
    seams_->printerFile = pdf;
    seams_->printerDpi = 600;
    seams_->printerOrientation = QPageLayout::Landscape;
    form_->N4Click();
    QCOMPARE(form_->view().PrinterDpiX, 600);
    QCOMPARE(form_->view().PrinterDpiY, 600);
    QVERIFY(form_->ToolButton4->isChecked() && !form_->ToolButton3->isChecked());
    QCOMPARE(form_->pageOrientation(), PageOrientation::Landscape);
    const PrinterPage page = CurrentPrinterPage(form_->session(), true);
    const PrinterPage expected = PageOf(form_->session().printer());
    QCOMPARE(page.width, std::max(expected.width, expected.height));
    QVERIFY(page.width > 4000);  // an A4 or letter width at 600 dpi
    const FrameInput before = FrameInputOf(*form_, RenderTarget::Screen);
    form_->N5Click();
    QVERIFY(seams_->errors.isEmpty());
    const FrameInput after = FrameInputOf(*form_, RenderTarget::Screen);
    QCOMPARE(after.pageWidth, before.pageWidth);  // printing leaves the preview's page alone
    QCOMPARE(after.printerDpiX, before.printerDpiX);
    const QByteArray bytes = ReadAll(pdf);
    QCOMPARE(bytes.left(5), QByteArray("%PDF-"));
    QCOMPARE(QString::fromLatin1(bytes).count(QRegularExpression("/Type\\s*/Page\\b(?!s)")), 1);
    const QRegularExpressionMatch box =
        QRegularExpression("/MediaBox\\s*\\[\\s*0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)").match(QString::fromLatin1(bytes));
    QVERIFY(box.hasMatch());
    QVERIFY(box.captured(1).toDouble() > box.captured(2).toDouble());  // landscape
  }

  // The real printer setup is the system's print dialog on the session printer, its accepting
  // button saying "OK"; accepting it keeps the chosen printer.
  void thePrinterSetupDialogAcceptsWithOk() {
    const std::unique_ptr<QPrinter> printer = PdfFilePrinter(dir_.filePath("dialog.pdf"));
    QString acceptText;
    QTimer::singleShot(0, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (!dialog) return;
      for (QDialogButtonBox* box : dialog->findChildren<QDialogButtonBox*>())
        for (QAbstractButton* button : box->buttons())
          if (box->buttonRole(button) == QDialogButtonBox::AcceptRole && button->isVisible()) {
            acceptText = button->text();
            button->click();
            return;
          }
      dialog->close();
    });
    DefaultUiSeams real;
    const bool accepted = real.PrinterSetup(nullptr, *printer);
    QCOMPARE(acceptText, QStringLiteral("OK"));
    QVERIFY(accepted);
  }

  // Printing through a real queue, only when QUARTO_TEST_CUPS_QUEUE names one (for example a
  // printer-driver-cups-pdf queue): never on its own to a real printer.
  void printsThroughANamedCupsQueue() {
    const QString queue = qEnvironmentVariable("QUARTO_TEST_CUPS_QUEUE");
    if (queue.isEmpty()) QSKIP("QUARTO_TEST_CUPS_QUEUE names no print queue");
    const QPrinterInfo info = QPrinterInfo::printerInfo(queue);
    QVERIFY2(!info.isNull(), qPrintable(queue));
    const QString path = dir_.filePath("cups.plt");
    WriteBoard(path);
    Open(path);
    QPrinter printer(info, QPrinter::HighResolution);
    QVERIFY(PrintPlot(*form_, printer));
    QVERIFY(seams_->errors.isEmpty());
  }
};

QTEST_MAIN(PrinterTargetTest)
#include "render_printer_target_test.moc"
