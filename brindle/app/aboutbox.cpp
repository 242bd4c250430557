#include "app/aboutbox.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTextOption>

#include "app/placement.h"

namespace {

// A one-line label whose tabs go to stops eight average character widths apart, the
// classic standard tab stops. (Qt's own expansion puts them at eight widths of "x", which
// leaves the about box's values too far right for its panel.)
class TabbedLabel : public QLabel {
 public:
  TabbedLabel(const QString& text, QWidget* parent) : QLabel(text, parent) { setTextFormat(Qt::PlainText); }

  QSize sizeHint() const override {
    return fontMetrics().size(Qt::TextSingleLine | Qt::TextExpandTabs, text(), TabStop());
  }
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    QTextOption option(Qt::AlignLeft | Qt::AlignVCenter);
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(TabStop());
    painter.drawText(QRectF(rect()), text(), option);
  }

 private:
  int TabStop() const { return 8 * fontMetrics().averageCharWidth(); }
};

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) { FormCreate(); }

void TAboutBox::FormCreate() {
  setObjectName(QStringLiteral("AboutBox"));
  setFixedSize(190, 160);
  // A tool window with a title bar and its system menu (close) only.
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setWindowTitle(QStringLiteral("About"));
  // The classic 8-point dialog font: at the platform's 9 points the longest value runs
  // past the panel's right edge.
  QFont small = font();
  small.setPointSize(8);
  setFont(small);

  OKButton = new QPushButton(QStringLiteral("OK"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  const QSize button(75, 25);
  OKButton->setGeometry(width() / 2 - button.width() / 2, 122, button.width(), button.height());
  connect(OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);

  // Outer bevel lowered, inner raised: an etched frame.
  Panel = new QFrame(this);
  Panel->setObjectName(QStringLiteral("Panel"));
  Panel->setGeometry(10, 10, 170, 100);
  Panel->setFrameStyle(QFrame::Box | QFrame::Sunken);
  Panel->setLineWidth(1);
  Panel->setMidLineWidth(0);

  // The labels size themselves to their text; tabs go to the standard tab stops, so the
  // values line up in a column.
  auto label = [this](const char* name, int top, const QString& text) {
    auto* l = new TabbedLabel(text, Panel);
    l->setObjectName(QLatin1String(name));
    l->move(6, top);
    l->adjustSize();
    return l;
  };
  ProductName = label("ProductName", 10, QStringLiteral("Product Name\tBrindle"));
  Version = label("Version", 31, QStringLiteral("Version\t\t1.77"));
  Copyright = label("Copyright", 52, QStringLiteral("Copyright\tIts authors"));
  Date = label("Date", 73, QStringLiteral("Date\t\t16.04.2009"));
}

void TAboutBox::OKButtonClick() { close(); }

void TAboutBox::showEvent(QShowEvent* event) {
  CentreWindow(this, false);
  QDialog::showEvent(event);
}
