#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/check_box.h"
#include "toolkit/label.h"
#include "toolkit/list_box.h"
#include "toolkit/option_array.h"
#include "toolkit/shape.h"
#include "toolkit/text_box.h"

namespace scantouch {
namespace {

TEST(TextBox, RunsItsHandlersOnlyWhenTheTextChanges) {
  TextBox box("TXT");
  int changes = 0;
  box.changed.connect([&] { ++changes; });
  box.setText("abc");
  box.setText("abc");
  EXPECT_EQ(changes, 1);
  box.setText("");
  box.setText("abc");
  EXPECT_EQ(changes, 3);
  box.appendText("");
  EXPECT_EQ(changes, 3);
  box.appendText("d");
  EXPECT_EQ(box.text(), "abcd");
  EXPECT_EQ(changes, 4);
}

TEST(TextBox, HandlersRunBeforeTheAssignmentReturnsAndMayChangeTheBoxAgain) {
  TextBox box("TXT");
  std::vector<std::string> seen;
  box.changed.connect([&] {
    seen.push_back(box.text());
    if (box.text() == "long")
      box.setText("short");  // a handler that writes back
  });
  box.setText("long");
  EXPECT_EQ(box.text(), "short");
  EXPECT_EQ(seen, (std::vector<std::string>{"long", "short"}));
}

TEST(Notifier, AHandlerMayConnectAndDisconnectWhileNotified) {
  Label label("Label2");
  int first = 0, later = 0;
  Notifier<>::ConnectionId own = 0;
  own = label.changed.connect([&] {
    ++first;
    label.changed.connect([&] { ++later; });
    label.changed.disconnect(own);
  });
  label.setCaption("a");
  label.setCaption("b");
  EXPECT_EQ(first, 1);
  EXPECT_EQ(later, 2);  // connected during the first change, it already ran in it
}

TEST(CheckBox, ClickHandlersRunOnEveryChangeOfValueAndOutOfRangeIsRefused) {
  CheckBox box("CHK鼠标移动", "鼠标移动");
  int clicks = 0;
  box.clicked.connect([&] { ++clicks; });
  EXPECT_EQ(box.setValue(1), ToolkitResult::ok);
  EXPECT_EQ(box.setValue(1), ToolkitResult::ok);
  EXPECT_EQ(box.setValue(2), ToolkitResult::ok);
  EXPECT_EQ(clicks, 2);
  EXPECT_FALSE(box.isChecked());  // greyed is not checked
  EXPECT_EQ(box.setValue(3), ToolkitResult::valueOutOfRange);
  EXPECT_EQ(box.setValue(-1), ToolkitResult::valueOutOfRange);
  EXPECT_EQ(box.value(), 2);
  EXPECT_EQ(clicks, 2);
}

TEST(OptionArray, SelectingRunsTheClickWithItsIndexOnce) {
  OptionArray options("OPT曲线模式", {"轮廓线", "放射线", "单点"});
  std::vector<int> clicked;
  options.clicked.connect([&](int index) { clicked.push_back(index); });
  EXPECT_EQ(options.selected(), OptionArray::kNone);
  EXPECT_EQ(options.select(1), ToolkitResult::ok);
  EXPECT_EQ(options.select(1), ToolkitResult::ok);
  EXPECT_EQ(options.select(2), ToolkitResult::ok);
  EXPECT_EQ(options.select(3), ToolkitResult::indexOutOfRange);
  EXPECT_EQ(options.select(-1), ToolkitResult::indexOutOfRange);
  EXPECT_EQ(options.selected(), 2);
  EXPECT_EQ(clicked, (std::vector<int>{1, 2}));
}

TEST(Shape, RefusesNegativeSizesAndKeepsItsGeometry) {
  Shape shape("SHPWIN");
  EXPECT_EQ(shape.setWidth(5000), ToolkitResult::ok);
  EXPECT_EQ(shape.setWidth(-1), ToolkitResult::negativeSize);
  EXPECT_EQ(shape.setHeight(-0.5f), ToolkitResult::negativeSize);
  EXPECT_EQ(shape.setWidth(std::numeric_limits<float>::quiet_NaN()), ToolkitResult::negativeSize);
  EXPECT_EQ(shape.setWidth(0), ToolkitResult::ok);
  EXPECT_EQ(shape.width(), 0);
  EXPECT_EQ(shape.height(), 0);
}

TEST(Shape, ContainsStrictlyExcludesItsEdges) {
  Shape shape("Shape1");
  shape.setLeft(7350);
  shape.setTop(7350);
  (void)shape.setWidth(300);
  (void)shape.setHeight(300);
  EXPECT_EQ(shape.centreX(), 7500);
  EXPECT_TRUE(shape.containsStrictly(7351, 7649));
  EXPECT_FALSE(shape.containsStrictly(7350, 7500));
  EXPECT_FALSE(shape.containsStrictly(7500, 7650));
}

TEST(ListBox, InsertsAtAPositionAndRefusesIndexesOutsideTheList) {
  ListBox list("List1");
  EXPECT_EQ(list.addItem("b"), ToolkitResult::ok);
  EXPECT_EQ(list.insertItem(0, "a"), ToolkitResult::ok);
  EXPECT_EQ(list.insertItem(2, "c"), ToolkitResult::ok);
  EXPECT_EQ(list.insertItem(4, "x"), ToolkitResult::indexOutOfRange);
  EXPECT_EQ(list.removeItem(3), ToolkitResult::indexOutOfRange);
  EXPECT_EQ(list.list().entries(), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(list.removeItem(1), ToolkitResult::ok);
  list.clear();
  EXPECT_EQ(list.count(), 0u);
}

TEST(ListBox, ABoundedListDropsTheOldestEntryAtTheFarEnd) {
  ListBox appended("List1", 3);
  for (const char* entry : {"1", "2", "3", "4"})
    (void)appended.addItem(entry);
  EXPECT_EQ(appended.list().entries(), (std::vector<std::string>{"2", "3", "4"}));

  ListBox prepended("List1", 3);
  for (const char* entry : {"1", "2", "3", "4"})
    (void)prepended.insertItem(0, entry);
  EXPECT_EQ(prepended.list().entries(), (std::vector<std::string>{"4", "3", "2"}));
}

}  // namespace
}  // namespace scantouch
