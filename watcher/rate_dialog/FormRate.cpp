#include "watcher/rate_dialog/FormRate.h"

#include <algorithm>

#include "common/ErrorTrap.h"
#include "common/Variant.h"
#include "suite/objectlib/NumericHelpers.h"
#include "watcher/common/DebugLogFile.h"
#include "watcher/common/Utilities.h"
#include "watcher/common/WatcherOLShared.h"
#include "watcher/ui/WindowUtilities.h"

namespace corvana {

namespace {
constexpr double kLowestRate = 0.01;
constexpr double kHighestRate = 1.0;
constexpr const char* kCaption = "Corvana";
}  // namespace

FormRate::FormRate(ui::Platform& platform)
    : m_Form(platform, "FormRate"),
      LabelRate(m_Form.Add<ui::Label>("LabelRate")),
      TextRate(m_Form.Add<ui::TextBox>("TextRate")),
      CommandOK(m_Form.Add<ui::Button>("CommandOK")),
      CommandCancel(m_Form.Add<ui::Button>("CommandCancel")) {
  m_Form.SetBorderStyle(ui::BorderStyle::FixedDialog);
  m_Form.Move(0, 0, 4500, 2100);
  LabelRate.Move(240, 180, 3900, 255);
  TextRate.Move(240, 480, 3900, 315);
  CommandOK.Move(1620, 1020, 1200, 375);
  CommandCancel.Move(2940, 1020, 1200, 375);
  CommandOK.Click = [this] { CommandOK_Click(); };
  CommandCancel.Click = [this] { CommandCancel_Click(); };
  // Enter in the text box confirms, as the dialog's default button would.
  TextRate.KeyPress = [this](int& key) {
    if (key != 13) return;
    key = 0;
    CommandOK_Click();
  };
  m_Form.QueryUnload = [this](bool& cancel, int mode) { Form_QueryUnload(cancel, mode); };
}

bool FormRate::ParseRate(const std::string& text, double& rate) {
  std::string trimmed = text;
  trimmed.erase(0, trimmed.find_first_not_of(" \t"));
  trimmed.erase(trimmed.find_last_not_of(" \t") + 1);
  if (TryParseNumber(trimmed, rate)) return true;
  // "0,5" where the decimal separator is a comma; never a thousands separator in a rate.
  if (std::count(trimmed.begin(), trimmed.end(), ',') != 1 || trimmed.find('.') != std::string::npos)
    return false;
  std::replace(trimmed.begin(), trimmed.end(), ',', '.');
  return TryParseNumber(trimmed, rate);
}

bool FormRate::ShowDialog(bool& p_IsCrossover, double p_CurrentRate, double& p_NewRate, ui::WindowId owner) {
  if (owner) m_Form.SetOwnerWindow(owner);
  ResumeNext([&] { m_Form.SetCaption(kCaption); });
  ResumeNext([&] { ui::WindowUtilities::SetFormIcon(m_Form); });
  ResumeNext([&] { ui::WindowUtilities::ApplyFormLocalization(m_Form); });
  ResumeNext([&] { LabelRate.SetCaption(Utilities::GetResourceString(p_IsCrossover ? 4200 : 4202)); });
  ResumeNext([&] { TextRate.SetText(WatcherOLShared::FormatNumberDefault(p_CurrentRate).ToString()); });
  ResumeNext([&] { CommandCancel.SetCaption(WatcherOLShared::GetCommonString(3)); });
  ResumeNext([&] { CommandOK.SetCaption(WatcherOLShared::GetCommonString(2)); });

  // Closing the dialog in any other way than OK counts as Cancel.
  m_Cancelled = true;
  m_Form.Show(ui::ShowMode::Modal);
  if (m_Cancelled) return false;
  double rate = 0;
  if (!ParseRate(TextRate.Text(), rate)) return false;
  p_NewRate = rate;
  return true;
}

void FormRate::CommandOK_Click() {
  DebugLogFile::WriteLine(std::string("FormRate, Processsing CommandOK_Click"));
  double rate = 0;
  if (ParseRate(TextRate.Text(), rate) && IsInRange(rate, kLowestRate, kHighestRate)) {
    m_Cancelled = false;
    m_Form.Hide();
    return;
  }
  ResumeNext([&] {
    m_Form.GetPlatform().ShowMessageBox(Utilities::GetResourceString(4201), ui::MsgBox::kOKOnly, kCaption);
  });
}

void FormRate::CommandCancel_Click() {
  m_Cancelled = true;
  m_Form.Hide();
}

void FormRate::Form_QueryUnload(bool& cancel, int unloadMode) {
  if (unloadMode != ui::kUnloadFormControlMenu) return;
  cancel = true;
  CommandCancel_Click();
}

}  // namespace corvana
