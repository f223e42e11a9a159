// The phrase editor's command rules and the layout arithmetic of the editor and its details
// panel.

#include <gtest/gtest.h>

#include "base/dpi.h"
#include "editor/details_layout.h"
#include "editor/editor_commands.h"
#include "editor/editor_layout.h"
#include "resource.h"

namespace vellix {
namespace {

TEST(EditorCommandsTest, AlwaysEnabled) {
  const EditorCommandState nothing;
  for (const uint32_t id : {ID_OPEN_DATABASE, ID_IMPORT_PHRASES, ID_OPEN_BACKUP_FOLDER, ID_SAVE_AND_CLOSE,
                            ID_ADD_PHRASE, ID_COMMAND_LINE_KEYS, ID_EDITOR_ABOUT}) {
    const EditorCommandStatus status = EditorCommandRule(id, nothing);
    EXPECT_TRUE(status.known && status.enabled && !status.checkable) << id;
  }
  EXPECT_FALSE(EditorCommandRule(ID_APP_EXIT, nothing).known);
}

TEST(EditorCommandsTest, Rules) {
  struct Case {
    uint32_t id;
    EditorCommandState state;
    bool enabled, checked;
  };
  EditorCommandState selected;
  selected.rowSelected = true;
  EditorCommandState path;
  path.databasePathEmpty = false;
  EditorCommandState defaultPath = path;
  defaultPath.isConfiguredDatabase = true;
  EditorCommandState clipboard;
  clipboard.phraseOnClipboard = true;
  EditorCommandState filtered;
  filtered.checkedOnly = true;
  EditorCommandState disabledPhrase;
  disabledPhrase.hasDisabledPhrase = true;
  const EditorCommandState none;
  const Case cases[] = {
      {ID_EDIT_PHRASE, none, false, false},          {ID_EDIT_PHRASE, selected, true, false},
      {ID_DELETE_PHRASE, none, false, false},        {ID_DELETE_PHRASE, selected, true, false},
      {ID_COPY_PHRASE, none, false, false},          {ID_COPY_PHRASE, selected, true, false},
      {ID_PASTE_PHRASE, selected, false, false},     {ID_PASTE_PHRASE, clipboard, true, false},
      {ID_USE_AS_DEFAULT, none, false, false},       {ID_USE_AS_DEFAULT, path, true, false},
      {ID_USE_AS_DEFAULT, defaultPath, true, true},
      // Every phrase enabled: on stays enabled (to switch it off), off is disabled.
      {ID_CHECKED_ONLY, none, false, false},         {ID_CHECKED_ONLY, filtered, true, true},
      {ID_CHECKED_ONLY, disabledPhrase, true, false},
  };
  for (const Case& c : cases) {
    const EditorCommandStatus status = EditorCommandRule(c.id, c.state);
    EXPECT_TRUE(status.known) << c.id;
    EXPECT_EQ(status.enabled, c.enabled) << c.id;
    EXPECT_EQ(status.checked, c.checked) << c.id;
  }
}

TEST(EditorLayoutTest, MinTrackSize) {
  EXPECT_EQ(EditorMinTrackSize(true, {75, 23}), (LayoutSize{355, 566}));
  EXPECT_EQ(EditorMinTrackSize(false, {75, 23}), (LayoutSize{403, 567}));
  EXPECT_EQ(EditorMinTrackSize(true, {113, 35}, 60), (LayoutSize{507, 638}));
}

// A template-like arrangement in a 600 x 500 client area.
EditorControls TemplateControls() {
  EditorControls c;
  c.list = {10, 10, 590, 200};
  c.frame = {10, 210, 590, 450};
  c.ok = {420, 460, 500, 485};
  c.cancel = {510, 460, 590, 485};
  c.homeLink = {10, 462, 120, 476};
  c.productLink = {130, 462, 380, 476};
  return c;
}

TEST(EditorLayoutTest, ArrangeKeepsTheTemplate) {
  const EditorLayout layout({600, 500}, TemplateControls());
  EXPECT_EQ(layout.Arrange({600, 500}), TemplateControls());
}

TEST(EditorLayoutTest, ArrangeOnResize) {
  const EditorLayout layout({600, 500}, TemplateControls());
  const struct {
    LayoutSize client;
    EditorControls expected;
  } cases[] = {
      // Wider and taller: buttons follow the bottom right, the list grows.
      {{800, 700},
       {{10, 10, 790, 400}, {10, 410, 790, 650}, {620, 660, 700, 685}, {710, 660, 790, 685},
        {10, 662, 120, 676}, {130, 662, 380, 676}}},
      // Narrower and shorter: the list shrinks, the frame keeps its height.
      {{500, 450},
       {{10, 10, 490, 150}, {10, 160, 490, 400}, {320, 410, 400, 435}, {410, 410, 490, 435},
        {10, 412, 120, 426}, {130, 412, 380, 426}}},
      // Too short for the list: it keeps a height of 0 instead of turning over.
      {{600, 200},
       {{10, 10, 590, 10}, {10, -90, 590, 150}, {420, 160, 500, 185}, {510, 160, 590, 185},
        {10, 162, 120, 176}, {130, 162, 380, 176}}},
  };
  for (const auto& c : cases) {
    const EditorControls got = layout.Arrange(c.client);
    EXPECT_EQ(got.list, c.expected.list) << c.client.width << "x" << c.client.height;
    EXPECT_EQ(got.frame, c.expected.frame) << c.client.width << "x" << c.client.height;
    EXPECT_EQ(got.ok, c.expected.ok) << c.client.width << "x" << c.client.height;
    EXPECT_EQ(got.cancel, c.expected.cancel) << c.client.width << "x" << c.client.height;
    EXPECT_EQ(got.homeLink, c.expected.homeLink) << c.client.width << "x" << c.client.height;
    EXPECT_EQ(got.productLink, c.expected.productLink) << c.client.width << "x" << c.client.height;
  }
}

TEST(LayoutScaleTest, MeasuresGrowWithTheDisplayAndRoundToTheNearestPixel) {
  const struct {
    int pixels;
    int dpi;
    int expected;
  } cases[] = {
      {8, 96, 8},   {8, 144, 12}, {16, 144, 24}, {1, 144, 2},  // 1.5 rounds up
      {5, 120, 6},                                             // 6.25 rounds down
      {7, 168, 12}, {-3, 144, -5},                             // halves away from zero
      {4, 0, 4},    {4, -1, 4},                                // no reading counts as 100 %
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScaleToDpi(c.pixels, c.dpi), c.expected) << c.pixels << " at " << c.dpi;
  }
}

// The panel's controls somewhere in a 480 x 150 panel, as the template puts them.
DetailsPanelControls PanelControls() {
  DetailsPanelControls c;
  c.add = {6, 6, 81, 29};
  c.remove = {165, 6, 240, 29};
  c.list = {6, 37, 240, 140};
  c.group = {330, 3, 470, 140};
  c.check = {340, 20, 470, 37};
  c.count = {340, 42, 400, 63};
  c.spin = {400, 42, 415, 63};
  c.mode = {250, 6, 320, 27};
  c.programs = {250, 37, 270, 120};
  c.addProgram = {280, 37, 320, 60};
  c.removeProgram = {280, 64, 320, 87};
  c.note = {250, 124, 320, 137};
  return c;
}

TEST(DetailsLayoutTest, ArrangeKeepsSizesAndScalesTheGaps) {
  const struct {
    int dpi;
    DetailsPanelControls expected;
  } cases[] = {
      // The group keeps its width at the right; the program rule takes the room between.
      {96,
       {{6, 8, 81, 31}, {165, 8, 240, 31}, {6, 39, 240, 146}, {332, 4, 472, 146}, {340, 20, 470, 37},
        {340, 45, 400, 66}, {401, 45, 416, 66}, {248, 8, 324, 29}, {248, 39, 280, 131}, {284, 39, 324, 62},
        {284, 66, 324, 89}, {248, 133, 324, 146}}},
      // At 150 % the check box sits 24 below the group's top, under its bold caption.
      {144,
       {{6, 12, 81, 35}, {165, 12, 240, 35}, {6, 47, 240, 144}, {328, 6, 468, 144}, {340, 30, 470, 47},
        {340, 59, 400, 80}, {401, 59, 416, 80}, {252, 12, 316, 33}, {252, 47, 270, 128}, {276, 47, 316, 70},
        {276, 76, 316, 99}, {252, 131, 316, 144}}},
  };
  for (const auto& c : cases) {
    const DetailsPanelControls got = ArrangeDetailsPanel(480, 150, PanelControls(), c.dpi);
    EXPECT_EQ(got.add, c.expected.add) << c.dpi;
    EXPECT_EQ(got.remove, c.expected.remove) << c.dpi;
    EXPECT_EQ(got.list, c.expected.list) << c.dpi;
    EXPECT_EQ(got.group, c.expected.group) << c.dpi;
    EXPECT_EQ(got.check, c.expected.check) << c.dpi;
    EXPECT_EQ(got.count, c.expected.count) << c.dpi;
    EXPECT_EQ(got.spin, c.expected.spin) << c.dpi;
    EXPECT_EQ(got.mode, c.expected.mode) << c.dpi;
    EXPECT_EQ(got.programs, c.expected.programs) << c.dpi;
    EXPECT_EQ(got.addProgram, c.expected.addProgram) << c.dpi;
    EXPECT_EQ(got.removeProgram, c.expected.removeProgram) << c.dpi;
    EXPECT_EQ(got.note, c.expected.note) << c.dpi;
  }
}

}  // namespace
}  // namespace vellix
