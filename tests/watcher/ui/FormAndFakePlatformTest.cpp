#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/ComError.h"
#include "watcher/ui/Button.h"
#include "watcher/ui/Form.h"
#include "watcher/ui/Frame.h"
#include "watcher/ui/Label.h"
#include "watcher/ui/PopupMenu.h"
#include "watcher/ui/Timer.h"
#include "watcher/ui/testing/FakePlatform.h"

using namespace corvana;
using namespace corvana::ui;

TEST(Form, OwnsControlsByName) {
  FakePlatform platform;
  Form form(platform, "FormProgress");
  auto& frame = form.Add<Frame>("FrameBottom");
  auto& button = form.Add<Button>("CommandStop");
  button.SetContainer("FrameBottom");
  EXPECT_EQ(&form.Get<Button>("CommandStop"), &button);
  EXPECT_THROW(form.Add<Label>("CommandStop"), ComError);
  EXPECT_THROW(form.Get<Label>("CommandStop"), ComError);
  EXPECT_EQ(form.FindControl("Nothing"), nullptr);

  // A control inside a disabled or hidden frame is unusable though its own flags are set.
  EXPECT_TRUE(form.EffectivelyEnabled(button));
  frame.SetEnabled(false);
  EXPECT_FALSE(form.EffectivelyEnabled(button));
  frame.SetVisible(false);
  EXPECT_FALSE(form.EffectivelyVisible(button));
}

TEST(Form, RegistryAndIds) {
  FakePlatform platform;
  WindowId firstId = 0;
  {
    Form first(platform, "FormProgressSmall");
    firstId = first.Id();
    EXPECT_EQ(platform.FindForm("FormProgressSmall"), &first);
    EXPECT_EQ(platform.FindForm(firstId), &first);
  }
  EXPECT_EQ(platform.FindForm(firstId), nullptr);
  Form second(platform, "FormProgress");
  EXPECT_NE(second.Id(), firstId);  // ids are never reused
  EXPECT_EQ(platform.Forms().size(), 1u);
}

TEST(Form, LoadOnceQueryUnloadCanCancel) {
  FakePlatform platform;
  Form form(platform, "FormProgress");
  int loads = 0;
  std::vector<int> modes;
  form.Load = [&] { ++loads; };
  form.QueryUnload = [&](bool& cancel, int mode) {
    modes.push_back(mode);
    cancel = mode == kUnloadFormControlMenu || mode == kUnloadAppTaskManager;
  };
  form.Show();
  form.Hide();
  form.Show();
  EXPECT_EQ(loads, 1);
  EXPECT_FALSE(form.BackendCloseRequest(kUnloadFormControlMenu));
  EXPECT_TRUE(form.Visible());
  EXPECT_TRUE(form.Unload());
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(form.Loaded());
  EXPECT_EQ(modes, (std::vector<int>{kUnloadFormControlMenu, kUnloadFormCode}));
  form.Show();
  EXPECT_EQ(loads, 2);  // loaded again after an unload
}

TEST(Form, ResizeFiresForCodeAndBackendChangesOfSize) {
  FakePlatform platform;
  Form form(platform, "FormProgress");
  int resizes = 0;
  form.Resize = [&] { ++resizes; };
  form.Move(0, 0, 9000, 7000);  // not loaded yet: no event
  form.Show();
  form.SetLeft(100);  // a move is not a resize
  form.SetWidth(9600);
  EXPECT_EQ(resizes, 1);
  form.SetFrameSize(240, 600);
  EXPECT_EQ(form.ScaleWidth(), 9360);
  EXPECT_EQ(form.ScaleHeight(), 6400);
  form.BackendResized(12000, 8000, 11760, 7400);
  EXPECT_EQ(resizes, 2);
  EXPECT_EQ(form.ScaleHeight(), 7400);
  form.BackendResized(12000, 8000, 11760, 7400);
  EXPECT_EQ(resizes, 2);
}

TEST(FakePlatform, ModalShowRunsScriptedActionsAndNeverHangs) {
  FakePlatform platform;
  Form form(platform, "FormProgress");
  Timer& timer = form.Add<Timer>("TimerUpdate", 1000, true);
  int ticks = 0;
  timer.Tick = [&] { ++ticks; };
  bool modalInside = false;
  platform.QueueModalAction([&](Form& shown) {
    modalInside = shown.Modal() && shown.Visible() && platform.ModalDepth() == 1;
    platform.AdvanceTime(3000);  // timers keep running inside the modal loop
    shown.Hide();
  });
  form.Show(ShowMode::Modal);
  EXPECT_TRUE(modalInside);
  EXPECT_EQ(ticks, 3);
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(form.Modal());

  form.Show(ShowMode::Modal);  // no action: the fake ends the loop itself and says so
  auto modal = platform.CallsOf("RunModal");
  ASSERT_EQ(modal.size(), 3u);
  EXPECT_EQ(modal.back().Value, 1);
}

TEST(FakePlatform, TimersFireInTimeOrderAndFollowTheirSettings) {
  FakePlatform platform;
  Form form(platform, "FormProgressSmall");
  std::vector<std::string> order;
  auto& fast = form.Add<Timer>("TimerInitialization", 500, true);
  auto& slow = form.Add<Timer>("TimerUpdate", 1000, true);
  auto& oneShot = form.Add<Timer>("TimerForColorGraph", 1, false);
  auto& never = form.Add<Timer>("TimerZero", 0, true);
  fast.Tick = [&] { order.push_back("fast@" + std::to_string(platform.Now() - 1000)); };
  slow.Tick = [&] {
    order.push_back("slow@" + std::to_string(platform.Now() - 1000));
    oneShot.SetEnabled(true);
  };
  oneShot.Tick = [&] {
    order.push_back("shot@" + std::to_string(platform.Now() - 1000));
    oneShot.SetEnabled(false);
  };
  never.Tick = [&] { order.push_back("never"); };
  platform.AdvanceTime(1200);
  EXPECT_EQ(order, (std::vector<std::string>{"fast@500", "fast@1000", "slow@1000", "shot@1001"}));

  order.clear();
  slow.SetEnabled(false);
  slow.SetEnabled(true);  // re-enabling restarts the count: next tick 1000 ms from now
  fast.SetEnabled(false);
  platform.AdvanceTime(999);
  EXPECT_TRUE(order.empty());
  platform.AdvanceTime(1);
  EXPECT_EQ(order, (std::vector<std::string>{"slow@2200"}));  // its one-shot is due 1 ms later
}

TEST(FakePlatform, TimerTickErrorsAreTrappedAndDestroyedTimersStop) {
  FakePlatform platform;
  auto form = std::make_unique<Form>(platform, "FormProgress");
  auto& timer = form->Add<Timer>("TimerUpdate", 100, true);
  int ticks = 0;
  timer.Tick = [&] {
    ++ticks;
    throw ComError(kErrApplication, "TimerUpdate_Timer", "failed");
  };
  EXPECT_NO_THROW(platform.AdvanceTime(250));
  EXPECT_EQ(ticks, 2);
  form.reset();
  EXPECT_TRUE(platform.Timers().empty());
  EXPECT_NO_THROW(platform.AdvanceTime(1000));
  EXPECT_EQ(ticks, 2);
}

TEST(FakePlatform, MessageBoxesAndMenusTakeScriptedAnswers) {
  FakePlatform platform;
  EXPECT_EQ(platform.ShowMessageBox("Stop?", MsgBox::kYesNo + MsgBox::kQuestion, ""), MsgBox::kYes);
  platform.QueueMessageBoxAnswer(MsgBox::kNo);
  EXPECT_EQ(platform.ShowMessageBox("Stop?", MsgBox::kYesNo, "Corvana"), MsgBox::kNo);
  ASSERT_EQ(platform.Messages().size(), 2u);
  EXPECT_EQ(platform.Messages()[0].Title, "Corvana");
  EXPECT_EQ(MsgBox::EscapeAnswer(MsgBox::kYesNoCancel), MsgBox::kCancel);
  EXPECT_EQ(MsgBox::EscapeAnswer(MsgBox::kYesNo), MsgBox::kNo);

  // Boxes with captions answer with a button index; nothing queued, or a button the box lacks,
  // closes them without a choice rather than pressing the first (a help button asks again).
  const std::vector<std::string> captions{"Help", "Yes", "No"};
  platform.QueueMessageBoxAnswer(2);
  platform.QueueMessageBoxAnswer(4);
  EXPECT_EQ(platform.ShowMessageDialog("Run the solver?", captions, ""), 2);
  EXPECT_EQ(platform.ShowMessageDialog("Run the solver?", captions, "Corvana"), 0);
  EXPECT_EQ(platform.ShowMessageDialog("Run the solver?", captions, "Other"), 0);
  ASSERT_EQ(platform.Messages().size(), 5u);
  EXPECT_EQ(platform.Messages()[2].Captions, captions);

  Form form(platform, "FormProgress");
  auto& menu = form.Add<PopupMenu>("GridPopup");
  menu.AddItem("mnuGridPopup_Copy", "Copy");
  menu.AddItem("mnuDisabled", "Disabled");
  menu.SetItemEnabled("mnuDisabled", false);
  platform.QueuePopupMenuKey("mnuGridPopup_Copy");
  platform.QueuePopupMenuKey("mnuDisabled");
  EXPECT_EQ(platform.ShowPopupMenu(menu, form, nullptr, 10, 20), "mnuGridPopup_Copy");
  EXPECT_EQ(platform.ShowPopupMenu(menu, form, nullptr, 10, 20), "");  // a disabled entry cannot be chosen
  EXPECT_EQ(platform.ShowPopupMenu(menu, form, nullptr, 10, 20), "");  // nothing queued: dismissed
}

TEST(Form, NestedModalFormsAndAutomationView) {
  FakePlatform platform;
  Form main(platform, "FormProgress");
  Form rate(platform, "FormRate");
  int unloaded = 0;
  rate.Unloaded = [&] { ++unloaded; };
  int depthInside = 0;
  platform.QueueModalAction([&](Form& shown) {
    // The full window, shown modally, opens the rate dialog modally in turn.
    platform.QueueModalAction([&](Form& dialog) {
      depthInside = platform.ModalDepth();
      dialog.Unload();
    });
    rate.Show(ShowMode::Modal);
    shown.Hide();
  });
  main.SetCaption("Corvana Watcher");
  main.Show(ShowMode::Modal);
  EXPECT_EQ(depthInside, 2);
  EXPECT_EQ(unloaded, 1);
  EXPECT_FALSE(rate.Loaded());
  EXPECT_EQ(main.Property("Caption"), Variant("Corvana Watcher"));
  EXPECT_EQ(main.Property("Visible"), Variant(false));
  EXPECT_TRUE(main.Property("NoSuchProperty").IsEmpty());
}

TEST(Form, RefreshRepaintsOnlyAShownForm) {
  FakePlatform platform;
  Form form(platform, "FormProgress");
  int paints = 0;
  form.Paint = [&] { ++paints; };
  form.Refresh();
  EXPECT_EQ(paints, 0);
  form.Show();
  form.Refresh();
  EXPECT_EQ(paints, 1);
}
