#include "combox_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace svctune::lamina {
namespace {

scene::Size Metric(const std::wstring& text, const FontSpec& font) {
  return scene::Size{100.0 * static_cast<double>(text.size()), 200.0 * font.points / 9.0};
}

class EventLog : public ComBoxEvents {
 public:
  void Change() override { log.push_back("Change"); }
  void Click() override { log.push_back("Click"); }
  void KeyDown(short& keyCode, short& shift) override {
    log.push_back("KeyDown" + std::to_string(keyCode) + "/" + std::to_string(shift));
  }
  void KeyPress(short& keyAscii) override { log.push_back("KeyPress" + std::to_string(keyAscii)); }
  void KeyUp(short& keyCode, short&) override { log.push_back("KeyUp" + std::to_string(keyCode)); }
  std::vector<std::string> log;
};

class ComBoxModelTest : public ::testing::Test {
 protected:
  ComBoxModelTest()
      : model(Metric, events, [this](std::wstring_view name) { changed.emplace_back(name); }) {
    model.OnSizeRequested([this](int width, int height) {
      requested = {width, height};
      model.Resize(width, height);
    });
    model.InitProperties(ambient);
    model.Resize(2000, 285);
    changed.clear();
  }
  void ClickDropButton() {
    const scene::Rect& button = model.Surface().at(ComBoxModel::kComButton).bounds;
    model.MouseDown(scene::kLeftButton, 0, button.left + 20, 20);
    model.MouseUp(scene::kLeftButton, 0, button.left + 20, 20);
  }
  void AddItems(int count) {
    for (int i = 0; i < count; ++i) {
      ASSERT_EQ(model.AddItem(L"item" + std::to_wstring(i), -1), ListResult::kOk);
    }
  }

  scene::AmbientInfo ambient;
  EventLog events;
  std::vector<std::wstring> changed;
  std::pair<int, int> requested;
  ComBoxModel model;
};

TEST_F(ComBoxModelTest, LayoutFollowsTheFontAndTheWidth) {
  struct Case {
    double points;
    int width;
    double textHeight;
    int controlWidth;
  };
  for (const Case& c : {Case{9, 2000, 270, 2000}, Case{12, 2000, 315, 2000},
                        Case{9, 600, 270, 1000}, Case{9, 1000, 270, 1000}}) {
    FontSpec font;
    font.points = c.points;
    model.SetFont(font);
    model.Resize(c.width, 100);
    EXPECT_EQ(model.ComText().height, c.textHeight) << c.points;
    EXPECT_EQ(model.Height(), c.textHeight + 15) << c.points;
    EXPECT_EQ(model.Width(), c.controlWidth) << c.width;
    EXPECT_EQ(requested, std::make_pair(c.controlWidth, static_cast<int>(c.textHeight + 15)));
    EXPECT_EQ(model.ComText().width, c.controlWidth - 300);
    const scene::Rect& button = model.Surface().at(ComBoxModel::kComButton).bounds;
    EXPECT_EQ(button.left, c.controlWidth - 315);
    EXPECT_EQ(button.height, c.textHeight);
    EXPECT_EQ(model.Surface().at(ComBoxModel::kComButton).font.points, c.points);
    EXPECT_EQ(model.ComList().width, c.controlWidth - 15);
    EXPECT_EQ(model.ComList().top, c.textHeight - 10);
  }
}

TEST_F(ComBoxModelTest, DropButtonOpensAndClosesTheListGrowingTheControl) {
  struct Case {
    int items;
    double listHeight;
  };
  for (const Case& c : {Case{3, 585}, Case{20, 1560}, Case{0, 0}}) {
    model.Clear();
    AddItems(c.items);
    ClickDropButton();
    EXPECT_TRUE(model.ListOpen());
    EXPECT_EQ(model.ComList().height, c.listHeight) << c.items;
    EXPECT_EQ(model.Height(), 270 + c.listHeight) << c.items;
    EXPECT_EQ(requested.second, 270 + c.listHeight);
    ClickDropButton();
    EXPECT_FALSE(model.ListOpen());
    EXPECT_EQ(model.Height(), 285);
  }
  EXPECT_TRUE(events.log.empty());
}

TEST_F(ComBoxModelTest, DropButtonShowsPressedColoursOnlyForTheLeftButton) {
  const scene::Element& button = model.Surface().at(ComBoxModel::kComButton);
  model.MouseDown(scene::kLeftButton, 0, button.bounds.left + 10, 10);
  EXPECT_EQ(button.backColour, kDropPressedFace);
  EXPECT_EQ(button.foreColour, kDropPressedText);
  model.MouseUp(scene::kLeftButton, 0, button.bounds.left + 10, 10);
  EXPECT_EQ(button.backColour, kDropFace);
  EXPECT_EQ(button.foreColour, kDropText);
  ASSERT_TRUE(model.ListOpen());
  model.MouseDown(scene::kRightButton, 0, button.bounds.left + 10, 10);
  model.MouseUp(scene::kRightButton, 0, button.bounds.left + 10, 10);
  EXPECT_EQ(button.backColour, kDropFace);
  EXPECT_TRUE(model.ListOpen());
}

TEST_F(ComBoxModelTest, ResizingWhileOpenChangesNothing) {
  AddItems(3);
  ClickDropButton();
  model.Resize(3000, 400);
  EXPECT_EQ(model.ComText().width, 1700);
  EXPECT_TRUE(model.ListOpen());
}

TEST_F(ComBoxModelTest, EveryPathClosesTheOpenList) {
  AddItems(3);
  const std::vector<std::pair<const char*, std::function<void()>>> closers{
      {"choose", [&] { model.ListChosen(1); }},
      {"text click", [&] { model.TextClicked(); }},
      {"focus", [&] { model.FocusLeft(); }},
  };
  for (const auto& [name, close] : closers) {
    ClickDropButton();
    ASSERT_TRUE(model.ListOpen());
    close();
    EXPECT_FALSE(model.ListOpen()) << name;
    EXPECT_EQ(model.Height(), 285) << name;
  }
}

TEST_F(ComBoxModelTest, ChoosingCopiesTheItemThenRaisesClick) {
  AddItems(3);
  ClickDropButton();
  model.ListChosen(2);
  EXPECT_EQ(model.Text(), L"item2");
  EXPECT_EQ(model.ListIndex(), 2);
  EXPECT_EQ(events.log, (std::vector<std::string>{"Change", "Click"}));

  events.log.clear();
  model.SetListIndex(0);
  EXPECT_EQ(model.Text(), L"item0");
  EXPECT_FALSE(model.ListOpen());
  EXPECT_EQ(events.log, (std::vector<std::string>{"Change", "Click"}));

  events.log.clear();
  for (int unchanged : {0, 3, -2}) {
    model.SetListIndex(unchanged);
  }
  model.SetListIndex(-1);
  EXPECT_EQ(model.ListIndex(), -1);
  EXPECT_EQ(model.Text(), L"item0");
  EXPECT_TRUE(events.log.empty());
  EXPECT_TRUE(changed.empty());
}

TEST_F(ComBoxModelTest, ListMethodsKeepTheSelectionOnItsItem) {
  AddItems(3);
  model.SetListIndex(1);
  ASSERT_EQ(model.AddItem(L"first", 0), ListResult::kOk);
  EXPECT_EQ(model.ListIndex(), 2);
  EXPECT_EQ(*model.List(0), L"first");
  EXPECT_EQ(model.AddItem(L"x", 6), ListResult::kBadIndex);
  EXPECT_EQ(model.AddItem(L"x", -2), ListResult::kBadIndex);
  EXPECT_EQ(model.RemoveItem(4), ListResult::kBadIndex);
  ASSERT_EQ(model.RemoveItem(0), ListResult::kOk);
  EXPECT_EQ(model.ListIndex(), 1);
  ASSERT_EQ(model.RemoveItem(1), ListResult::kOk);
  EXPECT_EQ(model.ListIndex(), -1);
  model.SetItemData(1, 77);
  EXPECT_EQ(*model.ItemData(1), 77);
  EXPECT_EQ(model.ItemData(2), nullptr);
  EXPECT_EQ(model.List(-1), nullptr);
  model.SetList(1, L"renamed");
  EXPECT_EQ(*model.List(1), L"renamed");
  model.Clear();
  EXPECT_EQ(model.ListCount(), 0);
  EXPECT_TRUE(changed.empty());
}

TEST_F(ComBoxModelTest, ListCountStaysWithinSixteenBits) {
  for (int i = 0; i < 32767; ++i) {
    model.AddItem(L"", -1);
  }
  EXPECT_EQ(model.ListCount(), 32767);
  EXPECT_EQ(model.AddItem(L"one too many", -1), ListResult::kFull);
  EXPECT_EQ(model.ListCount(), 32767);
}

TEST_F(ComBoxModelTest, TextAndKeysAreForwardedAsEvents) {
  model.SetText(L"abc");
  model.SetText(L"abc");
  model.TextEdited(L"abcd");
  model.TextEdited(L"abcd");
  model.KeyDown(65, 1);
  model.KeyPress(97);
  model.KeyUp(65, 0);
  EXPECT_EQ(events.log,
            (std::vector<std::string>{"Change", "Change", "KeyDown65/1", "KeyPress97", "KeyUp65"}));
  EXPECT_EQ(changed, (std::vector<std::wstring>{L"Text", L"Text"}));
  EXPECT_EQ(model.Text(), L"abcd");
}

TEST_F(ComBoxModelTest, SettersNotifyAndNegativeMaxLengthIsIgnored) {
  model.SetBackColor(0xFF);
  model.SetForeColor(0xFF00);
  model.SetEnabled(false);
  model.SetLocked(true);
  model.SetMaxLength(-5);
  EXPECT_EQ(model.MaxLength(), 0);
  model.SetMaxLength(10);
  EXPECT_EQ(changed, (std::vector<std::wstring>{L"BackColor", L"ForeColor", L"Enabled", L"Locked",
                                                L"MaxLength"}));
  model.TextClicked();
  // Keys that still reach the text box of a disabled control raise nothing.
  model.KeyDown(65, 0);
  model.KeyPress(97);
  model.KeyUp(65, 0);
  EXPECT_TRUE(events.log.empty());
}

TEST_F(ComBoxModelTest, PersistenceWritesOnlyChangedValuesAndReadsAnyCase) {
  PropertyBag empty;
  model.WriteProperties(empty, ambient);
  EXPECT_EQ(empty.size(), 0u);

  PropertyBag bag;
  FontSpec big;
  big.points = 12;
  bag.Put(L"backcolor", std::int32_t{0xFF});
  bag.Put(L"font", big);
  bag.Put(L"text", std::wstring(L"中文"));
  bag.Put(L"maxlength", std::int32_t{8});
  bag.Put(L"locked", true);
  model.ReadProperties(bag, ambient);
  EXPECT_EQ(model.BackColor(), 0xFFu);
  EXPECT_EQ(model.ForeColor(), kWindowText);
  EXPECT_EQ(model.Text(), L"中文");
  EXPECT_EQ(model.ComText().height, 315);
  EXPECT_TRUE(model.Locked());
  PropertyBag written;
  model.WriteProperties(written, ambient);
  EXPECT_EQ(written.Entries().size(), 5u);
  EXPECT_EQ(written.Read<std::int32_t>(L"MaxLength", 0), 8);
}

}  // namespace
}  // namespace svctune::lamina
