#include "app/form4.h"

#include "app/about_pictures.h"
#include "app/form1.h"
#include "app/interface_language.h"
#include "app/ui_seams.h"
#include "core/interface_texts.h"

namespace quarto {

namespace {

PaintedPicture* Picture(QWidget* parent, const char* name, const QRect& geometry, const PictureSpec& spec) {
  return new PaintedPicture(parent, name, geometry, spec.frames, spec.intervalMs, spec.paint);
}

QColor Rgb(int r, int g, int b) { return QColor(r, g, b); }

void SetColour(QLabel* label, const QColor& colour) {
  QPalette pal = label->palette();
  pal.setColor(QPalette::WindowText, colour);
  label->setPalette(pal);
}

}  // namespace

Form4::Form4(Form1* mainWindow) : QDialog(mainWindow, kSecondaryWindowFlags) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(InterfaceQString(kRowAboutCaption, true));
  setModal(false);
  setFixedSize(kClientWidth, kClientHeight);
  setFont(PixelFont(kSansFamily, 11));

  // The frame first, so that the thanks block lies on it.
  Bevel1 = new QFrame(this);
  Bevel1->setObjectName(QStringLiteral("Bevel1"));
  Bevel1->setGeometry(8, 229, 217, 140);
  Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);

  RxGIFAnimator1 = Picture(this, "RxGIFAnimator1", {16, 0, 200, 70}, TitlePicture(true));
  RxGIFAnimator4 = Picture(this, "RxGIFAnimator4", {16, 0, 200, 70}, TitlePicture(false));
  RxGIFAnimator2 = Picture(this, "RxGIFAnimator2", {40, 72, 150, 69}, MailPicture(true));
  RxGIFAnimator5 = Picture(this, "RxGIFAnimator5", {40, 72, 150, 69}, MailPicture(false));
  RxGIFAnimator4->hide();
  RxGIFAnimator5->hide();
  RxGIFAnimator2->setCursor(Qt::PointingHandCursor);
  RxGIFAnimator5->setCursor(Qt::ArrowCursor);
  connect(RxGIFAnimator2, &PaintedPicture::clicked, this, &Form4::RxGIFAnimator2Click);

  const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignTop;
  RxLabel1 = new ShadowLabel(this, "RxLabel1", {11, 144, 208, 32}, PixelFont(kSansFamily, 13, true), Qt::AlignCenter);
  SetColour(RxLabel1, Rgb(0, 0, 128));  // navy
  RxLabel1->SetText(FromUtf8(InitialDateVersionText()));

  RxLabel2 = new ShadowLabel(this, "RxLabel2", {14, 177, 204, 26}, PixelFont(kSansFamily, 12, true), centred,
                             ShadowPosition::LeftBottom);
  SetColour(RxLabel2, Rgb(0, 128, 0));  // green
  RxLabel2->SetText(InterfaceQString(kRowAboutDedication, true));

  RxLabel3 = new ShadowLabel(this, "RxLabel3", {10, 208, 214, 19}, PixelFont(kSerifFamily, 16, true), centred,
                             ShadowPosition::RightTop);
  SetColour(RxLabel3, Rgb(0, 0, 255));  // blue
  RxLabel3->SetText(FixedQString("Form4", "RxLabel3"));
  RxLabel3->setCursor(Qt::PointingHandCursor);
  connect(RxLabel3, &ShadowLabel::clicked, this, &Form4::RxLabel3Click);

  RxLabel4 = new ShadowLabel(this, "RxLabel4", {27, 234, 176, 39}, PixelFont(kSansFamily, 11, true), centred);
  SetColour(RxLabel4, Rgb(255, 0, 0));  // red
  RxLabel4->SetText(InterfaceQString(kRowAboutThanks, true));

  Image1 = Picture(this, "Image1", {27, 274, 176, 45}, SiteBanner());
  Image1->setCursor(Qt::PointingHandCursor);
  connect(Image1, &PaintedPicture::clicked, this, &Form4::Image1Click);

  RxLabel6 = new ShadowLabel(this, "RxLabel6", {14, 320, 204, 26}, PixelFont(kSansFamily, 11, true), centred);
  SetColour(RxLabel6, Rgb(128, 0, 0));  // maroon
  RxLabel6->SetText(InterfaceQString(kRowAboutWebThanks, true));

  RxLabel7 = new ShadowLabel(this, "RxLabel7", {14, 344, 206, 15}, PixelFont(kSerifFamily, 13, false, true), centred);
  SetColour(RxLabel7, Rgb(0, 0, 255));  // blue
  RxLabel7->SetText(FixedQString("Form4", "RxLabel7"));
  RxLabel7->setCursor(Qt::PointingHandCursor);
  connect(RxLabel7, &ShadowLabel::clicked, this, &Form4::RxLabel7Click);

  RxGIFAnimator3 = Picture(this, "RxGIFAnimator3", {48, 376, 135, 90}, PlotterPicture());

  RxLabel5 = new ShadowLabel(this, "RxLabel5", {5, 472, 223, 26}, PixelFont(kSansFamily, 12, true), centred,
                             ShadowPosition::LeftBottom);
  SetColour(RxLabel5, palette().color(QPalette::WindowText));
  RxLabel5->SetText(InterfaceQString(kRowAboutFreeNote, true));

  CentreOnScreen(this);
}

// The links go through the seams of the main window's session.
UiSeams& Form4::seams() const { return static_cast<Form1*>(parentWidget())->session().seams(); }

void Form4::RxGIFAnimator2Click() { seams().OpenUrl(FromUtf8(kAuthorMailLink)); }
void Form4::RxLabel3Click() { seams().OpenUrl(FromUtf8(kAuthorMailLink)); }
void Form4::Image1Click() { seams().OpenUrl(FromUtf8(kHomePageLink)); }
void Form4::RxLabel7Click() { seams().OpenUrl(FromUtf8(kProgramPageLink)); }

}  // namespace quarto
