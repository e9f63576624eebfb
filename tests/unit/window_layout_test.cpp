#include "app/window_layout.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "program_fixture.h"

namespace scantouch {
namespace {

using layout::Kind;

// Where a window's description accounts for each control: as the window, as a widget (a radio
// group split over several cells counts once when every option has exactly one), or as not shown.
std::map<Control*, int> Placements(const layout::WindowLayout& window) {
  std::map<Control*, int> placed;
  std::map<OptionArray*, std::vector<int>> options;
  ++placed[window.window];
  layout::ForEachItem(window, [&](const layout::Item& item) {
    if (item.kind == Kind::radioButton) {
      std::vector<int>& counts = options[&item.options()];
      counts.resize(static_cast<std::size_t>(item.options().size()));
      ++counts.at(static_cast<std::size_t>(item.option));
    } else if (item.control != nullptr) {
      ++placed[item.control];
    }
  });
  for (const auto& [array, counts] : options) {
    const bool eachOnce = std::all_of(counts.begin(), counts.end(), [](int n) { return n == 1; });
    placed[array] += eachOnce ? 1 : 100;  // an option missing or twice: never exactly once
  }
  for (Control* control : window.notShown)
    ++placed[control];
  return placed;
}

void ExpectEachControlOnce(const std::vector<Control*>& controls,
                           const layout::WindowLayout& window) {
  std::map<Control*, int> placed = Placements(window);
  std::set<Control*> known;
  for (Control* control : controls) {
    EXPECT_TRUE(known.insert(control).second) << control->name() << " listed twice by the model";
    EXPECT_EQ(placed[control], 1) << control->name() << "(" << control->index() << ")";
  }
  for (const auto& [control, count] : placed) {
    EXPECT_TRUE(known.count(control) == 1)
        << "placed but no control of the window: " << (control ? control->name() : "null");
  }
}

void ExpectUniqueEnglishNames(const layout::WindowLayout& window) {
  std::set<std::string> names;
  layout::ForEachItem(window, [&](const layout::Item& item) {
    if (item.control == nullptr) {
      EXPECT_TRUE(item.name.empty()) << item.name;
      return;
    }
    EXPECT_FALSE(item.name.empty()) << item.control->name();
    EXPECT_TRUE(names.insert(item.name).second) << item.name << " names two widgets";
    EXPECT_NE(item.name, item.control->name()) << "the design name is not the English one";
  });
}

// No two widgets of a group in one grid cell.
void ExpectNoCellTwice(const layout::WindowLayout& window) {
  for (const layout::Page& page : window.pages) {
    for (const layout::Group& group : page.groups) {
      std::set<std::pair<int, int>> taken;
      for (const layout::Cell& cell : layout::Cells(group)) {
        for (int column = cell.column; column < cell.column + cell.span; ++column) {
          EXPECT_TRUE(taken.insert({cell.row, column}).second)
              << page.caption << "/" << group.caption << " row " << cell.row << " column "
              << column;
        }
      }
    }
  }
}

class WindowLayoutTest : public testing::ProgramFixture {};

TEST_F(WindowLayoutTest, TheMainWindowShowsEachControlOnceUnderOneEnglishName) {
  const layout::WindowLayout window = layout::MainWindowLayout(form());
  ExpectEachControlOnce(form().controls(), window);
  ExpectUniqueEnglishNames(window);
  ExpectNoCellTwice(window);
  ASSERT_NE(layout::Find(window, "currentTouch"), nullptr);
  EXPECT_EQ(layout::Find(window, "currentTouch")->control, &form().TXT当前处理数据);
  EXPECT_EQ(layout::Find(window, "nothing of that name"), nullptr);
}

TEST_F(WindowLayoutTest, TheNetworkWindowShowsEachControlOfEveryChannelOnce) {
  const layout::WindowLayout window = layout::NetworkWindowLayout(network());
  ExpectEachControlOnce(network().controls(), window);
  ExpectUniqueEnglishNames(window);
  ExpectNoCellTwice(window);
  const std::string last = "channel" + std::to_string(network().channelCount() - 1) + ".send";
  ASSERT_NE(layout::Find(window, last), nullptr);
  EXPECT_EQ(layout::Find(window, last)->control,
            &network().channel(network().channelCount() - 1).TxtTcpTx);
}

TEST(WindowLayoutCells, CaptionsRadioRowsAndSpansTakeTheirCells) {
  OptionArray range{"range", {"a", "b", "c", "d", "e"}};
  TextBox box{"box"};
  CheckBox check{"check", "c"};
  const layout::Group group{"",
                            {{layout::Radios(range, "range", 2)},
                             {layout::LineEdit(box, "box").captioned("Box"), layout::Note("hint")},
                             {layout::Gap(), layout::Check(check, "check").spanning(2)}}};
  std::vector<std::tuple<int, int, int, bool>> places;  // row, column, span, caption
  for (const layout::Cell& cell : layout::Cells(group))
    places.emplace_back(cell.row, cell.column, cell.span, cell.isCaption);
  const std::vector<std::tuple<int, int, int, bool>> expected = {
      {0, 0, 1, false}, {0, 1, 1, false}, {1, 0, 1, false},
      {1, 1, 1, false}, {2, 0, 1, false},  // five options two to a row: three rows
      {3, 0, 1, true},  {3, 1, 1, false}, {3, 2, 1, false},  // caption, box, note
      {4, 0, 1, false}, {4, 1, 2, false}};
  EXPECT_EQ(places, expected);
  EXPECT_EQ(layout::ColumnCount(layout::Cells(group)), 3);

  // A radio group without options takes no cell, rather than dividing by its zero options.
  OptionArray none{"none", {}};
  const layout::Group empty{"", {{layout::Radios(none, "none"), layout::LineEdit(box, "box")}}};
  places.clear();
  for (const layout::Cell& cell : layout::Cells(empty))
    places.emplace_back(cell.row, cell.column, cell.span, cell.isCaption);
  EXPECT_EQ(places, (std::vector<std::tuple<int, int, int, bool>>{{0, 0, 1, false}}));
}

}  // namespace
}  // namespace scantouch
