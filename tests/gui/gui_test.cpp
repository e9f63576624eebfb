// The windows on Qt's offscreen platform: widgets pass edits to the core's controls and show the
// controls' changes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <array>
#include <cmath>
#include <numbers>

#include "app/window_layout.h"
#include "background/view_masks.h"
#include "common/pair.h"
#include "example_setup.h"
#include "gui/qt/main_window.h"
#include "gui/qt/network_window.h"
#include "gui/qt/radar_widget.h"
#include "program_fixture.h"
#include "radar/radar_palette.h"
#include "scan_text.h"

namespace scantouch {
namespace {

class GuiTest : public testing::ProgramFixture {
 protected:
  GuiTest() {
    program_.lifecycle().startUp();
    window_.show();
    window_.resize(1200, 760);
    QApplication::processEvents();
  }

  // The widget the window's description names `name`.
  template <typename Widget>
  Widget* named(const char* name, QWidget* within = nullptr) {
    return (within != nullptr ? within : &window_)->findChild<Widget*>(QString::fromUtf8(name));
  }

  template <typename Widget>
  Widget* widgetShowing(const QString& text, QWidget* within = nullptr) {
    for (Widget* widget : (within != nullptr ? within : &window_)->findChildren<Widget*>()) {
      if (widget->text() == text)
        return widget;
    }
    return nullptr;
  }

  // Shows the page that holds `widget`, as a user's click on its tab does.
  void showPageOf(QWidget* widget) {
    auto* pages = window_.findChild<QTabWidget*>();
    for (int index = 0; index < pages->count(); ++index) {
      if (pages->widget(index)->isAncestorOf(widget))
        pages->setCurrentIndex(index);
    }
    QApplication::processEvents();
  }

  gui::FramePacer pacer_;
  gui::MainWindow window_{program_, pacer_};
};

TEST_F(GuiTest, TypingIntoABoxStoresEveryKeystroke) {
  form().TXT屏幕宽高.setText("find me");  // the widget follows the control...
  QLineEdit* screenSize = named<QLineEdit>("screenSize");
  ASSERT_NE(screenSize, nullptr);
  EXPECT_EQ(screenSize->text(), "find me");
  form().TXT屏幕宽高.setText("");
  EXPECT_EQ(screenSize->text(), "");
  const int before = files_.replacements;
  QTest::keyClicks(screenSize, "1024,768");  // ...and the control the widget, a key at a time
  EXPECT_EQ(files_.replacements - before, 8);
  EXPECT_EQ(program_.mainSettings().read("参数设置", "屏幕宽高"), "1024,768");
}

TEST_F(GuiTest, TheSpaceBarInAScreenBoxCapturesInsteadOfTyping) {
  QLineEdit* topLeft = named<QLineEdit>("screenTopLeft");
  ASSERT_NE(topLeft, nullptr);
  desktop_.setCursorPos(1920, 0);
  QTest::keyClick(topLeft, Qt::Key_Space);
  EXPECT_EQ(topLeft->text(), "1920,0");
}

TEST_F(GuiTest, ChoosingARangeRescalesTheRadarView) {
  QRadioButton* eightMetres = named<QRadioButton>("range.2");
  ASSERT_NE(eightMetres, nullptr);
  EXPECT_EQ(eightMetres->text(), QString::fromUtf8("8米"));
  QTest::mouseClick(eightMetres, Qt::LeftButton, {}, QPoint(8, eightMetres->height() / 2));
  EXPECT_EQ(form().OPT面积设置.selected(), 2);
  EXPECT_EQ(form().PICYL.scaleWidth(), 8000);
  EXPECT_TRUE(eightMetres->isChecked());
  EXPECT_FALSE(named<QRadioButton>("range.0")->isChecked());
}

TEST_F(GuiTest, EveryDescribedControlHasItsWidgetUnderItsEnglishName) {
  gui::NetworkWindow network(program_.network(), pacer_);
  for (const auto& [window, description] :
       {std::pair<QWidget*, layout::WindowLayout>{&window_, layout::MainWindowLayout(form())},
        {&network, layout::NetworkWindowLayout(program_.network())}}) {
    layout::ForEachItem(description, [&](const layout::Item& item) {
      if (item.control == nullptr)
        return;
      std::string name = item.name;
      if (item.kind == layout::Kind::radioButtons)
        name += "." + std::to_string(item.options().size() - 1);
      EXPECT_NE(window->findChild<QWidget*>(QString::fromStdString(name)), nullptr) << name;
    });
  }
}

TEST_F(GuiTest, ATouchTypedIntoTheDebugPageIsMappedToTheScreen) {
  QLineEdit* current = named<QLineEdit>("currentTouch");
  QLineEdit* mapped = named<QLineEdit>("mappedTouch");
  ASSERT_NE(current, nullptr);
  ASSERT_NE(mapped, nullptr);
  EXPECT_FALSE(current->isReadOnly());
  EXPECT_FALSE(mapped->isReadOnly());
  showPageOf(current);
  const std::string before = form().txt校正后数据.text();
  QTest::keyClicks(current, "6000,2500");
  EXPECT_EQ(form().TXT当前处理数据.text(), "6000,2500");
  EXPECT_NE(form().txt校正后数据.text(), before);
  EXPECT_EQ(mapped->text().toStdString(), form().txt校正后数据.text());
  QTest::keyClicks(mapped, "!");  // a diagnosis box: what the user types stays in the control
  EXPECT_EQ(form().txt校正后数据.text().back(), '!');
}

TEST_F(GuiTest, ABoxOnAPageNotShownTakesTheNewestTextWhenItShows) {
  QLineEdit* mapped = named<QLineEdit>("mappedTouch");
  ASSERT_NE(mapped, nullptr);
  auto* pages = window_.findChild<QTabWidget*>();
  pages->setCurrentIndex(pages->widget(0)->isAncestorOf(mapped) ? 1 : 0);
  QApplication::processEvents();
  ASSERT_FALSE(mapped->isVisible());
  form().txt校正后数据.setText("1,2");
  form().txt校正后数据.setText("12,34");
  EXPECT_NE(mapped->text(), "12,34");  // nobody sees it: no text laid out meanwhile
  showPageOf(mapped);
  for (int frame = 0; frame < 20 && mapped->text() != "12,34"; ++frame)
    QTest::qWait(gui::FramePacer::kFrameInterval_ms);
  EXPECT_EQ(mapped->text(), "12,34");
  EXPECT_EQ(form().txt校正后数据.text(), "12,34");  // and showing it is no edit
}

TEST_F(GuiTest, APressInTheRadarViewCalibratesInViewUnits) {
  ASSERT_EQ(form().OPT标定.select(Calibration::kScanner), ToolkitResult::ok);
  gui::RadarWidget* radar = window_.radar();
  const QPointF centre(radar->width() / 2.0, radar->height() / 2.0);
  const QPointF units = radar->toViewUnits(centre);
  EXPECT_NEAR(units.x(), 7500, 30);
  EXPECT_NEAR(units.y(), 7500, 30);
  QTest::mouseClick(radar, Qt::LeftButton, {}, centre.toPoint());
  const auto position = ParsePair(form().txt雷达位置.text());
  ASSERT_TRUE(position);
  EXPECT_NEAR(position->first, 7500, 30);
  EXPECT_NEAR(position->second, 7500, 30);
}

// Counts the paints a widget receives.
class PaintCounter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    paints += event->type() == QEvent::Paint ? 1 : 0;
    return false;
  }
  int paints = 0;
};

TEST_F(GuiTest, TheRadarViewFollowsBlocksOfWholeNodes) {
  PaintCounter counter;
  window_.radar()->installEventFilter(&counter);
  testing::Feed(form().decoder(), testing::DescriptorText());
  QTest::qWait(50);
  counter.paints = 0;
  // Blocks that end on a node boundary leave the buffer empty: its length caption never changes.
  for (int block = 0; block < 20; ++block) {
    std::string nodes;
    for (int angle = 0; angle < 36; ++angle)
      nodes += testing::NodeText(block * 18 + angle * 0.5 + 0.3, 3000 + block * 10);
    const int before = counter.paints;
    testing::Feed(form().decoder(), nodes);
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints > before; }, 2000)) << block;
  }
  EXPECT_EQ(form().Label2.caption(), "数据长度：0");

  counter.paints = 0;  // nothing new: nothing painted
  for (int i = 0; i < 5; ++i) {
    form().decoder().feed({});
    QTest::qWait(40);
  }
  EXPECT_EQ(counter.paints, 0);
}

TEST_F(GuiTest, TheTouchPageShowsEveryControlOfTheEngineBothWays) {
  auto* pages = window_.findChild<QTabWidget*>();
  ASSERT_NE(pages, nullptr);
  int index = 0;
  while (index < pages->count() && pages->tabText(index) != QString::fromUtf8("触控"))
    ++index;
  ASSERT_LT(index, pages->count());
  pages->setCurrentIndex(index);
  QApplication::processEvents();
  QWidget* page = pages->widget(index);
  const auto Q = [](const std::string& text) { return QString::fromStdString(text); };

  struct Text {
    TextBox* box;
    const char* shown;
    const char* typed;
  };
  for (const Text& text :
       {Text{&form().TXTTUIO目标, "127.0.0.1:3333", "127.0.0.1:3334"},
        Text{&form().TXT出现圈数, "3", "4"}, Text{&form().TXT消失圈数, "5", "6"},
        Text{&form().TXT分组间距, "120", "90"}, Text{&form().TXT匹配距离, "260", "300"}}) {
    text.box->setText(text.shown);
    QLineEdit* edit = widgetShowing<QLineEdit>(text.shown, page);
    ASSERT_NE(edit, nullptr) << text.box->name();
    edit->selectAll();
    QTest::keyClicks(edit, text.typed);
    EXPECT_EQ(text.box->text(), text.typed) << text.box->name();
  }

  for (CheckBox* box : {&form().CHK系统触控, &form().CHK平滑}) {
    QCheckBox* widget = widgetShowing<QCheckBox>(Q(box->caption()), page);
    ASSERT_NE(widget, nullptr) << box->name();
    const bool was = box->isChecked();
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(8, widget->height() / 2));
    EXPECT_EQ(box->isChecked(), !was) << box->name();
    ASSERT_EQ(box->setValue(was ? CheckBox::kChecked : CheckBox::kCleared), ToolkitResult::ok);
    EXPECT_EQ(widget->isChecked(), was) << box->name();
  }

  QRadioButton* drag = widgetShowing<QRadioButton>(Q(form().OPT鼠标模式.caption(1)), page);
  QRadioButton* untouched = widgetShowing<QRadioButton>(Q(form().OPT鼠标模式.caption(2)), page);
  ASSERT_NE(drag, nullptr);
  ASSERT_NE(untouched, nullptr);
  QTest::mouseClick(drag, Qt::LeftButton, {}, QPoint(8, drag->height() / 2));
  EXPECT_EQ(form().OPT鼠标模式.selected(), 1);
  ASSERT_EQ(form().OPT鼠标模式.select(2), ToolkitResult::ok);
  EXPECT_TRUE(untouched->isChecked());
  EXPECT_FALSE(drag->isChecked());

  form().LBL触控状态.setCaption("find me");
  EXPECT_NE(widgetShowing<QLabel>("find me", page), nullptr);
}

TEST_F(GuiTest, TheRadarViewMarksEachContactUntilItIsGone) {
  gui::RadarWidget* radar = window_.radar();
  PaintCounter counter;
  radar->installEventFilter(&counter);
  // A place with nothing else on it, and a pixel on the ring of a mark there.
  const QPointF place(radar->width() * 0.3, radar->height() * 0.75);
  const QPointF units = radar->toViewUnits(place);
  const QPoint onRing = place.toPoint() + QPoint(12, 0);
  const auto colourOnRing = [&] { return radar->grab().toImage().pixelColor(onRing); };
  const QColor empty = colourOnRing();
  // Contacts come and go in decoder passes, or with a change of the engine's status.
  const auto show = [&](std::vector<RadarModel::ContactMark> marks, const char* status) {
    const int before = counter.paints;
    form().radar().showContacts(marks);
    form().LBL触控状态.setCaption(status);
    return QTest::qWaitFor([&] { return counter.paints > before; }, 2000);
  };

  ASSERT_TRUE(show({{static_cast<float>(units.x()), static_cast<float>(units.y()), 3}}, "1"));
  const QColor marked = colourOnRing();
  EXPECT_NE(marked, empty);
  EXPECT_GT(marked.red(), 150);
  EXPECT_LT(marked.green(), 80);
  EXPECT_GT(marked.blue(), 150);

  ASSERT_TRUE(show({}, "0"));
  EXPECT_EQ(colourOnRing(), empty);
}

TEST_F(GuiTest, TheRadarViewShowsAnotherScannersPointsWhereTheyAreNow) {
  gui::RadarWidget* radar = window_.radar();
  PaintCounter counter;
  radar->installEventFilter(&counter);
  const QPoint first(static_cast<int>(radar->width() * 0.3),
                     static_cast<int>(radar->height() * 0.7));
  const QPoint second = first + QPoint(60, 0);
  const auto units = [&](QPoint pixel) {
    const QPointF at = radar->toViewUnits(pixel);
    return std::array<float, 2>{static_cast<float>(at.x()), static_cast<float>(at.y())};
  };
  // What the window shows, not a picture painted anew: frames repaint only where the scan changed.
  const auto colourAt = [&](QPoint pixel) {
    return radar->screen()
        ->grabWindow(window_.winId())
        .toImage()
        .pixelColor(radar->mapTo(&window_, pixel));
  };
  const QColor empty = colourAt(first);
  const auto show = [&](std::vector<std::array<float, 2>> points) {
    const int before = counter.paints;
    const std::array<float, 2> at = units(first + QPoint(0, 80));
    form().radar().showOtherScanners({{at[0], at[1], std::move(points), 1, false}});
    return QTest::qWaitFor([&] { return counter.paints > before; }, 2000);
  };
  const QColor own(0xE0, 0x70, 0x00);  // the second colour of the palette

  ASSERT_TRUE(show({units(first)}));
  EXPECT_EQ(colourAt(first), own);
  ASSERT_TRUE(show({units(second)}));  // the next turn: the point moved, nothing stays behind
  EXPECT_EQ(colourAt(first), empty);
  EXPECT_EQ(colourAt(second), own);
}

TEST_F(GuiTest, AMaskDraggedOnTheRadarViewWithItsBoxTickedIsAddedAndShownShaded) {
  gui::RadarWidget* radar = window_.radar();
  PaintCounter counter;
  radar->installEventFilter(&counter);
  const QPoint from(static_cast<int>(radar->width() * 0.15),
                    static_cast<int>(radar->height() * 0.6));
  const QPoint to = from + QPoint(120, 90);
  const QPoint inside = from + QPoint(60, 45);
  // What the window shows, not a picture painted anew.
  const auto shown = [&] { return radar->screen()->grabWindow(window_.winId()).toImage(); };
  const auto at = [&](const QImage& image, QPoint pixel) {
    return image.pixelColor(radar->mapTo(&window_, pixel));
  };
  const auto drag = [&](bool lookHalfway) {
    QTest::mousePress(radar, Qt::LeftButton, {}, from);
    QTest::mouseMove(radar, to - QPoint(40, 30));
    QTest::mouseMove(radar, to);
    QImage halfway;
    if (lookHalfway) {
      const int before = counter.paints;
      EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints > before; }, 2000));
      halfway = shown();
    }
    QTest::mouseRelease(radar, Qt::LeftButton, {}, to);
    return halfway;
  };
  form().TXT屏蔽区域.setText("");
  QTest::qWait(100);
  const QImage before = shown();

  drag(false);  // the box cleared: a click on the view as ever
  EXPECT_EQ(form().TXT屏蔽区域.text(), "");
  QTest::qWait(100);
  EXPECT_EQ(at(shown(), inside), at(before, inside));

  ASSERT_EQ(form().CHK画屏蔽区.setValue(CheckBox::kChecked), ToolkitResult::ok);
  const QImage halfway = drag(true);
  // The rectangle being dragged shows along its top edge, over everything.
  const QColor dragged(radar_palette::Red(radar_palette::kDraggedMask),
                       radar_palette::Green(radar_palette::kDraggedMask),
                       radar_palette::Blue(radar_palette::kDraggedMask));
  int draggedPixels = 0;
  for (int x = from.x() + 5; x < to.x() - 5; ++x)
    draggedPixels += at(halfway, {x, from.y()}) == dragged ? 1 : 0;
  EXPECT_GT(draggedPixels, 20);

  const ParsedMasks masks = ParseMasks(form().TXT屏蔽区域.text());
  ASSERT_EQ(masks.masks.size(), 1u) << form().TXT屏蔽区域.text();
  const QPointF topLeft = radar->toViewUnits(from);
  const QPointF bottomRight = radar->toViewUnits(to);
  const double pixel = radar->toViewUnits({1, 0}).x() - radar->toViewUnits({0, 0}).x();
  EXPECT_NEAR(masks.masks[0].left, topLeft.x(), pixel);
  EXPECT_NEAR(masks.masks[0].top, topLeft.y(), pixel);
  EXPECT_NEAR(masks.masks[0].right, bottomRight.x(), pixel);
  EXPECT_NEAR(masks.masks[0].bottom, bottomRight.y(), pixel);
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        return at(shown(), inside) == QColor(radar_palette::Red(radar_palette::kMaskFill),
                                             radar_palette::Green(radar_palette::kMaskFill),
                                             radar_palette::Blue(radar_palette::kMaskFill));
      },
      2000));
  EXPECT_NE(at(shown(), inside), at(before, inside));
  EXPECT_EQ(at(shown(), to + QPoint(20, 20)), at(before, to + QPoint(20, 20)));  // only inside
}

TEST_F(GuiTest, TheButtonToLearnTheBackgroundStartsLearningAndSaysSo) {
  auto* learn = named<QPushButton>("learnBackground");
  auto* status = named<QLabel>("backgroundStatus");
  ASSERT_NE(learn, nullptr);
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(learn->text(), QString::fromUtf8("学习背景"));
  EXPECT_NE(named<QPushButton>("clearBackground"), nullptr);
  EXPECT_FALSE(status->text().startsWith(QString::fromUtf8("正在学习背景")));
  QTest::mouseClick(learn, Qt::LeftButton);
  EXPECT_TRUE(status->text().startsWith(QString::fromUtf8("正在学习背景")))
      << status->text().toStdString();
  EXPECT_EQ(status->text().toStdString(), form().LBL背景.caption());
}

TEST_F(GuiTest, BothWindowsFitA1024By768Projector) {
  window_.resize(1024, 728);  // less the title bar
  QApplication::processEvents();
  EXPECT_LE(window_.minimumSizeHint().width(), 1024);
  EXPECT_LE(window_.minimumSizeHint().height(), 728);
  auto* pages = window_.findChild<QTabWidget*>();
  ASSERT_NE(pages, nullptr);
  for (int page = 0; page < pages->count(); ++page) {
    pages->setCurrentIndex(page);
    QApplication::processEvents();
    auto* area = qobject_cast<QScrollArea*>(pages->currentWidget());
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->verticalScrollBar()->maximum(), 0) << "page " << page << " needs no scrolling";
    EXPECT_EQ(area->horizontalScrollBar()->maximum(), 0) << "page " << page;
    EXPECT_GE(window_.radar()->height(), 560) << "page " << page;
  }

  gui::NetworkWindow network(program_.network(), pacer_);
  EXPECT_LE(network.minimumSizeHint().width(), 1024);
  EXPECT_LE(network.minimumSizeHint().height(), 728);
}

TEST_F(GuiTest, TheCornerMarksCoverTheScreenAreaUntilTheUserCancels) {
  form().TXT屏幕宽高.setText("640,480");
  form().TXT屏幕左上角.setText("100,50");
  auto* start = named<QPushButton>("fourCornerCalibration");
  ASSERT_NE(start, nullptr);
  gui::CornerMarksWindow& marks = window_.cornerMarks();
  EXPECT_FALSE(marks.isVisible());
  QTest::mouseClick(start, Qt::LeftButton);
  ASSERT_TRUE(form().cornerCalibration().active());
  EXPECT_TRUE(marks.isVisible());
  EXPECT_EQ(marks.geometry(), QRect(100, 50, 640, 480));
  EXPECT_TRUE(marks.windowFlags().testFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint));

  // The mark's arms along the edges from the corner being asked for; the rest is dark.
  const auto bright = [&](QPoint pixel) {
    const QColor colour = marks.grab().toImage().pixelColor(pixel);
    return colour.red() > 200 && colour.green() > 150 && colour.blue() < 80;
  };
  EXPECT_TRUE(bright({40, 1}));
  EXPECT_TRUE(bright({1, 40}));
  EXPECT_FALSE(bright({600, 1}));
  QTest::mouseClick(&marks, Qt::LeftButton, {}, QPoint(40, 40));  // the mouse calibrates nothing
  EXPECT_EQ(form().cornerCalibration().corner(), 0);
  loop_.advance(CornerCalibration::kSettle_ms);  // a hand comes to the mark
  EXPECT_TRUE(form().cornerCalibration().takeTouch({5000, 2000}));
  EXPECT_TRUE(marks.isVisible());
  EXPECT_TRUE(bright({600, 1}));  // on to the top-right corner
  EXPECT_FALSE(bright({40, 1}));

  QTest::keyClick(&marks, Qt::Key_Escape);
  EXPECT_FALSE(form().cornerCalibration().active());
  EXPECT_FALSE(marks.isVisible());

  QTest::mouseClick(start, Qt::LeftButton);
  ASSERT_TRUE(marks.isVisible());
  auto* cancel = marks.findChild<QPushButton*>("cancelCornerCalibration");
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(cancel->text(), QString::fromUtf8("取消"));
  QTest::mouseClick(cancel, Qt::LeftButton);
  EXPECT_FALSE(form().cornerCalibration().active());
  EXPECT_FALSE(marks.isVisible());
}

TEST_F(GuiTest, TypingInTheSendBoxKeepsTheCaretWhereTheUserTypes) {
  gui::NetworkWindow network(program_.network(), pacer_);
  network.show();
  auto* box = network.findChild<QComboBox*>();  // channel 0's send box comes first
  ASSERT_NE(box, nullptr);
  QLineEdit* edit = box->lineEdit();
  for (const Qt::Key key : {Qt::Key_A, Qt::Key_D, Qt::Key_Left, Qt::Key_B, Qt::Key_C}) {
    QTest::keyClick(edit, key);
    QTest::qWait(40);  // a frame, in which the list of queued entries is shown anew
  }
  EXPECT_EQ(edit->text(), "abcd");
  EXPECT_EQ(channel().TxtTcpTx.text(), "abcd");
}

TEST_F(GuiTest, ClosingTheWindowIsTheProgramsExit) {
  window_.close();
  EXPECT_EQ(processEnds_, 1);
  EXPECT_EQ(channel().TxtTcpTx.list().size(), 2u);  // two stops, waiting for a connection
}

TEST_F(GuiTest, TheRadarViewLeavesNoTraceOfAnOutlineThatMoved) {
  // Frames in which only the beams move repaint only around them; what they drew before must go.
  gui::RadarWidget* radar = window_.radar();
  examples::CalibrateLikeTheExamples(form());
  ASSERT_EQ(form().OPT曲线模式.select(RadarModel::kOutline), ToolkitResult::ok);
  const auto room = [&](int distance) {
    std::string text = testing::DescriptorText();
    for (int turn = 0; turn < 2; ++turn) {
      for (int degree = 0; degree < 360; ++degree)
        text += testing::NodeText(degree + 0.3, distance, 47, degree == 0);
    }
    testing::Feed(form().decoder(), text);
    QTest::qWait(120);
  };
  room(3000);
  room(5000);
  const QImage screen =
      radar->screen()->grabWindow(window_.winId()).toImage().convertToFormat(QImage::Format_RGB32);
  const QPointF origin = radar->mapTo(&window_, QPointF(0, 0));
  const QPointF unit = radar->toViewUnits(QPointF(1, 0)) - radar->toViewUnits(QPointF(0, 0));
  const QPointF corner = radar->toViewUnits(QPointF(0, 0));
  const double scannerX = form().Shape1.centreX();
  const double scannerY = form().Shape1.centreY();
  int oldPixels = 0;
  int newPixels = 0;
  for (int degree = 0; degree < 360; degree += 7) {
    for (const int distance : {3000, 5000}) {
      const double x = scannerX + distance * std::sin(degree * std::numbers::pi / 180);
      const double y = scannerY - distance * std::cos(degree * std::numbers::pi / 180);
      const QPoint pixel =
          (origin + QPointF((x - corner.x()) / unit.x(), (y - corner.y()) / unit.x())).toPoint();
      // Smoothed lines of a pixel: the darkest pixel around the point.
      int darkest = 255;
      for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy)
          darkest = std::min(darkest, qGray(screen.pixel(pixel + QPoint(dx, dy))));
      }
      const bool dark = darkest < 160;
      (distance == 3000 ? oldPixels : newPixels) += dark ? 1 : 0;
    }
  }
  EXPECT_EQ(oldPixels, 0);
  EXPECT_GE(newPixels, 45);  // of 52: the outline is where it is now
}

}  // namespace
}  // namespace scantouch

int main(int argc, char** argv) {
  // Offscreen unless told otherwise: these tests need no display, listing them included.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
