#include "app/form1_layout.h"

#include <QBoxLayout>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QProxyStyle>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <algorithm>
#include <initializer_list>

#include "support/form_scaler.h"
#include "ui_form1.h"

namespace tervando {

namespace {

// The list keeps room for its heading and this many rows, however low the screen.
constexpr int kListRowsAtLeast = 1;

// Below the last control of a group box, inside its frame.
constexpr int kBoxBottom = 0;

// The page list's check boxes and warning signs grow with its font, as its text does.
class ListIndicatorStyle : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    const int base = QProxyStyle::pixelMetric(metric, option, widget);
    if (widget && (metric == PM_IndicatorWidth || metric == PM_IndicatorHeight)) {
      return std::max(base, widget->fontMetrics().height() - 4);
    }
    return base;
  }
};

// The width a push button needs for its caption, a little air and its bevel (the style's least
// button width aside).
int CaptionWidth(const QPushButton& button) {
  return CaptionSize(button).width() + button.fontMetrics().averageCharWidth() + button.width() -
         CaptionRoom(button).width();
}

// A group box's layout, placed so that at the drawn font its first control sits where it was
// drawn: the box's own frame and title take part of the drawn margin, the layout the rest. The
// drawn room below the controls is given up where the window is low, so a larger font costs
// the window no more height than the captions need.
template <typename Layout>
Layout* BoxLayout(QGroupBox& box, const QRect& firstControl, int right, int bottom) {
  auto* outer = new QVBoxLayout(&box);
  const QMargins frame = box.contentsMargins();
  outer->setContentsMargins(std::max(0, firstControl.left() - frame.left()),
                            std::max(0, firstControl.top() - frame.top()),
                            std::max(0, right - frame.right()), kBoxBottom);
  outer->setSpacing(0);
  auto* layout = new Layout;
  outer->addLayout(layout, 1);
  outer->addSpacerItem(new QSpacerItem(0, std::max(0, bottom - frame.bottom() - kBoxBottom),
                                       QSizePolicy::Minimum, QSizePolicy::Preferred));
  return layout;
}

// The gap between two controls drawn side by side (or one above the other).
int GapX(const QWidget& left, const QWidget& right) {
  return right.geometry().left() - left.geometry().right() - 1;
}
int GapY(const QWidget& upper, const QWidget& lower) {
  return lower.geometry().top() - upper.geometry().bottom() - 1;
}
int RightGap(const QWidget& control) {
  return control.parentWidget()->width() - control.geometry().right() - 1;
}
int BottomGap(const QWidget& control) {
  return control.parentWidget()->height() - control.geometry().bottom() - 1;
}

}  // namespace

Form1Layout::Form1Layout(::Ui::Form1& ui, QWidget& form)
    : QObject(&form),
      m_ui(ui),
      m_form(form),
      m_drawnSize(form.size()),
      m_drawnListHeight(ui.Liste->height()) {
  // Frame1 "Vorgaben": the web root and "&Pfad", the list, two rows of list buttons.
  auto* presets = BoxLayout<QVBoxLayout>(*ui.Frame1, ui.LocalWebRootLBL->geometry(),
                                         RightGap(*ui.Liste), BottomGap(*ui.Btn_5));
  presets->setSpacing(GapY(*ui.Liste, *ui.Btn_1));
  auto* rootRow = new QHBoxLayout;
  rootRow->setSpacing(GapX(*ui.LocalWebRootLBL, *ui.Btn_4));
  rootRow->addWidget(ui.LocalWebRootLBL, 1);
  rootRow->addWidget(ui.Btn_4);
  presets->addLayout(rootRow);
  presets->addSpacerItem(new QSpacerItem(0,
                                         GapY(*ui.LocalWebRootLBL, *ui.Liste) - presets->spacing(),
                                         QSizePolicy::Minimum, QSizePolicy::Preferred));
  presets->addWidget(ui.Liste, 1);
  auto* indicators = new ListIndicatorStyle;
  indicators->setParent(ui.Liste);
  ui.Liste->setStyle(indicators);
  // The list is as large as the window leaves it, down to a row.
  ui.Liste->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  auto* listButtons = new QGridLayout;
  m_listButtonSpacing = GapX(*ui.Btn_1, *ui.Btn_3);
  listButtons->setHorizontalSpacing(m_listButtonSpacing);
  listButtons->setVerticalSpacing(GapY(*ui.Btn_1, *ui.Btn_5));
  QPushButton* const firstRow[] = {ui.Btn_1, ui.Btn_3, ui.Btn_2, ui.Btn_0};
  for (int column = 0; column < 4; ++column) {
    listButtons->addWidget(firstRow[column], 0, column);
    listButtons->setColumnStretch(column, 1);
  }
  listButtons->addWidget(ui.Btn_5, 1, 0, 1, 2);
  listButtons->addWidget(ui.Btn_6, 1, 2, 1, 2);
  presets->addLayout(listButtons);

  // "Favicon-Satz": the two sets and the foreign-links box, together at the left.
  auto* setRow =
      BoxLayout<QHBoxLayout>(*ui.FaviconSetFrame, ui.FaviconSetOPT_0->geometry(),
                             RightGap(*ui.ForeignIconsCHK), BottomGap(*ui.FaviconSetOPT_0));
  setRow->setSpacing(GapX(*ui.FaviconSetOPT_0, *ui.FaviconSetOPT_1));
  setRow->addWidget(ui.FaviconSetOPT_0);
  setRow->addWidget(ui.FaviconSetOPT_1);
  setRow->addSpacing(GapX(*ui.FaviconSetOPT_1, *ui.ForeignIconsCHK) - setRow->spacing());
  setRow->addWidget(ui.ForeignIconsCHK);
  setRow->addStretch(1);

  // Frame4: "Favicon-Verweise" reads as the first words of the option row.
  auto* modeRow =
      BoxLayout<QHBoxLayout>(*ui.Frame4, ui.Label1->geometry(), RightGap(*ui.SetUnsetFaviconOPT_1),
                             BottomGap(*ui.SetUnsetFaviconOPT_1));
  modeRow->setSpacing(ui.Label1->fontMetrics().averageCharWidth() / 2);
  modeRow->addWidget(ui.Label1);
  modeRow->addWidget(ui.SetUnsetFaviconOPT_0);
  modeRow->addSpacing(ui.Label1->fontMetrics().averageCharWidth() / 2);
  modeRow->addWidget(ui.SetUnsetFaviconOPT_1);
  modeRow->addStretch(1);

  // "Favicon": choose, the current favicon, the preview.
  auto* iconRow = BoxLayout<QHBoxLayout>(*ui.FaviconSelFrame, ui.Btn_7->geometry(),
                                         RightGap(*ui.IconPreviewImg), BottomGap(*ui.Btn_7));
  iconRow->setSpacing(GapX(*ui.Btn_7, *ui.Btn_11));
  iconRow->addWidget(ui.Btn_7);
  iconRow->addWidget(ui.Btn_11);
  iconRow->addSpacing(GapX(*ui.Btn_11, *ui.IconPreviewImg) - iconRow->spacing());
  iconRow->addWidget(ui.IconPreviewImg);
  ui.Btn_11->setFixedSize(ui.Btn_11->size());
  ui.IconPreviewImg->setFixedSize(ui.IconPreviewImg->size());

  // "Steuerung": the progress bar takes the width, the buttons stay together at the right.
  auto* controlRow = BoxLayout<QHBoxLayout>(*ui.Frame2, ui.Bar->geometry(), RightGap(*ui.Btn_8),
                                            BottomGap(*ui.Bar));
  controlRow->setSpacing(GapX(*ui.Btn_25, *ui.Btn_10));
  controlRow->addWidget(ui.Bar, 1);
  controlRow->addWidget(ui.StopRunBtn);  // shown while a Start runs
  controlRow->addSpacing(GapX(*ui.Bar, *ui.Btn_25) - controlRow->spacing());
  for (QPushButton* button : {ui.Btn_25, ui.Btn_10, ui.Btn_9, ui.Btn_8}) {
    controlRow->addWidget(button);
  }

  for (QWidget* control :
       std::initializer_list<QWidget*>{ui.Btn_4, ui.Btn_7, ui.Btn_25, ui.Btn_10, ui.Btn_9, ui.Btn_8,
                                       ui.StopRunBtn, ui.LocalWebRootLBL, ui.Bar}) {
    m_drawn.emplace_back(control, control->size());
  }
  ui.StopRunBtn->hide();

  // The window: the picture along the left edge beside the frames, the banner beside
  // "Steuerung", the status bar along the bottom.
  const qreal ratio = form.devicePixelRatioF();
  auto* frames = new QGridLayout;
  frames->setContentsMargins(ui.Picture1->x(), ui.Picture1->y(), RightGap(*ui.Frame1),
                             GapY(*ui.Frame2, *ui.Status));
  frames->setHorizontalSpacing(GapX(*ui.Picture1, *ui.Frame1));
  frames->setVerticalSpacing(GapY(*ui.Frame1, *ui.FaviconSetFrame));
  frames->addWidget(ui.Picture1, 0, 0, 3, 1, Qt::AlignTop);
  frames->addWidget(ui.Frame1, 0, 1);
  frames->addWidget(ui.FaviconSetFrame, 1, 1);
  auto* modeAndIcon = new QHBoxLayout;
  modeAndIcon->setSpacing(GapX(*ui.Frame4, *ui.FaviconSelFrame));
  modeAndIcon->addWidget(ui.Frame4, 1);
  modeAndIcon->addWidget(ui.FaviconSelFrame);
  frames->addLayout(modeAndIcon, 2, 1);
  frames->addWidget(ui.Image2, 3, 0, Qt::AlignBottom | Qt::AlignLeft);
  frames->addWidget(ui.Frame2, 3, 1);
  frames->setRowStretch(0, 1);
  frames->setColumnStretch(1, 1);
  // The pictures are decoration: on a narrow screen they give up their right part.
  QPixmap banner = ui.Image2->pixmap().scaled(ui.Image2->size() * ratio, Qt::IgnoreAspectRatio,
                                              Qt::SmoothTransformation);
  banner.setDevicePixelRatio(ratio);
  ui.Image2->setPixmap(banner);
  ui.Image2->setScaledContents(false);
  ui.Image2->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  ui.Image2->setMinimumSize(1, ui.Image2->height());
  ui.Image2->setMaximumSize(ui.Image2->size());
  ui.Image2->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  // The picture keeps its drawn size and shows its upper part where the window is lower.
  QPixmap picture = ui.Picture1->pixmap().scaled(ui.Picture1->size() * ratio, Qt::IgnoreAspectRatio,
                                                 Qt::SmoothTransformation);
  picture.setDevicePixelRatio(ratio);
  ui.Picture1->setPixmap(picture);
  ui.Picture1->setScaledContents(false);
  ui.Picture1->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  ui.Picture1->setMinimumSize(1, 1);
  ui.Picture1->setMaximumSize(ui.Picture1->size());
  ui.Picture1->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);

  auto* window = new QVBoxLayout(&form);
  window->setContentsMargins(0, 0, 0, 0);
  window->setSpacing(0);
  window->addLayout(frames, 1);
  window->addWidget(ui.Status);

  FitToFont();
  window->activate();  // the controls take their places before the window is first shown
  form.installEventFilter(this);
}

void Form1Layout::FitToFont() {
  // A control is at least as large as drawn; a larger font makes it as large as its caption
  // needs. The web root is shortened in its middle, and the progress bar may lose half.
  for (const auto& [control, drawn] : m_drawn) {
    QSize needed(0, control->sizeHint().height());
    if (const auto* button = qobject_cast<QPushButton*>(control)) {
      needed.setWidth(CaptionWidth(*button));
    }
    control->setMinimumSize(drawn.expandedTo(needed));
    if (needed.width() > 0) {
      control->setMaximumWidth(control->minimumWidth());  // not the style's wider least button
    }
  }
  m_ui.LocalWebRootLBL->setMinimumWidth(0);
  m_ui.Bar->setMinimumWidth(m_ui.Bar->minimumWidth() / 2);
  // The four list buttons of a row are equally wide, and each pair below spans two of them.
  int column = 0;
  for (QPushButton* button : {m_ui.Btn_1, m_ui.Btn_3, m_ui.Btn_2, m_ui.Btn_0}) {
    column = std::max(column, CaptionWidth(*button));
  }
  const int spacing = m_listButtonSpacing;
  for (QPushButton* button : {m_ui.Btn_5, m_ui.Btn_6}) {
    column = std::max(column, (CaptionWidth(*button) - spacing + 1) / 2);
  }
  for (QPushButton* button : {m_ui.Btn_1, m_ui.Btn_3, m_ui.Btn_2, m_ui.Btn_0}) {
    button->setMinimumWidth(column);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  }
  for (QPushButton* button : {m_ui.Btn_5, m_ui.Btn_6}) {
    button->setMinimumWidth(2 * column + spacing);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  }
  QTreeView& list = *m_ui.Liste;
  list.setIconSize(QSize(list.fontMetrics().height(), list.fontMetrics().height()));
  list.setMinimumHeight(list.header()->sizeHint().height() +
                        kListRowsAtLeast * (list.fontMetrics().height() + 4) +
                        2 * list.frameWidth());
}

QSize Form1Layout::OpeningSize(QSize available) const {
  const QSize needed = m_form.minimumSizeHint();
  if (m_form.sizeHint().width() <= m_drawnSize.width() && needed.height() <= m_drawnSize.height()) {
    return m_drawnSize;
  }
  // The pictures as wide and the list as high as drawn where the screen has the room.
  const int listRoom = std::max(0, m_drawnListHeight - m_ui.Liste->minimumHeight());
  const QSize wanted(m_form.sizeHint().width(), needed.height() + listRoom);
  return wanted.expandedTo(m_drawnSize).boundedTo(available).expandedTo(needed);
}

bool Form1Layout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &m_form &&
      (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)) {
    FitToFont();
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tervando
