#include "watcher/ui/WindowUtilities.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "common/ErrorTrap.h"
#include "suite/objectlib/ResourceServer.h"
#include "watcher/common/Utilities.h"
#include "watcher/ui/Button.h"

namespace corvana::ui::WindowUtilities {

namespace {
// Room a vertical scroll bar and the grid's border take.
constexpr int kGridChromeTwips = 360;
}  // namespace

void MakeTopMost(Platform& platform, WindowId window) {
  ResumeNext([&] { platform.SetTopMost(window, true); });
}

void MakeNotTopMost(Platform& platform, WindowId window) {
  ResumeNext([&] { platform.SetTopMost(window, false); });
}

bool IsOwnProcessForeground(Platform& platform) {
  bool own = false;
  ResumeNext([&] {
    WindowId foreground = platform.ForegroundWindow();
    own = foreground != 0 && platform.WindowProcessId(foreground) == g_WatcherProcessID;
  });
  return own;
}

void CopyGridToClipboard(Platform& platform, const Grid& grid) {
  ResumeNext([&] {
    std::string text;
    const auto& captions = grid.RowHeaders();
    for (int row = 0; row < grid.RowCount(); ++row) {
      if (row > 0) text += '\r';
      auto cells = grid.RowTexts(row);
      // A grid with row captions copies them as its first column: the rows mean nothing without them.
      if (!captions.empty())
        cells.insert(cells.begin(), static_cast<std::size_t>(row) < captions.size()
                                        ? captions[static_cast<std::size_t>(row)]
                                        : std::string());
      for (std::size_t k = 0; k < cells.size(); ++k) {
        if (k > 0) text += '\t';
        text += cells[k];
      }
    }
    platform.SetClipboardText(text);
  });
}

void FillReportPlacementCombo(ComboBox& combo) {
  ResumeNext([&] {
    combo.Clear();
    combo.AddItem(Utilities::GetResourceString(4308));
    combo.AddItem(Utilities::GetResourceString(4309));
    combo.SetListIndex(0);
  });
}

void StyleGrid(Grid& grid) {
  ResumeNext([&] {
    GridStyle style;
    style.GridLines = true;
    style.AlternateRowShading = true;
    style.RowSelection = true;
    style.MinColumnWidth = 150;
    style.RowHeight = 275;
    style.HeaderHeight = 275;
    grid.SetStyle(style);
  });
  ApplyGridFontLocalization(grid);
}

void AdjustGridColumns(Grid& grid, long value) {
  ResumeNext([&] {
    if (grid.ColumnCount() == 0 || value <= 0) return;
    int available = grid.Width() - kGridChromeTwips - (grid.RowHeaders().empty() ? 0 : grid.RowHeaderWidth());
    if (available <= 0) return;
    const int minWidth = std::max(1, grid.Style().MinColumnWidth);
    const int cap = static_cast<int>(std::min<long>(value, 1 << 24));
    std::vector<int> indices;
    for (int i = 0; i < grid.ColumnCount(); ++i)
      if (grid.Column(i).Visible) indices.push_back(i);
    if (indices.empty()) return;
    const int count = static_cast<int>(indices.size());
    std::vector<int> widths;
    for (int i : indices)
      widths.push_back(std::clamp(grid.Column(i).Width, minWidth, std::max(cap, minWidth)));
    long total = std::accumulate(widths.begin(), widths.end(), 0L);
    if (total > available) {
      // Shrink in proportion; columns stop at the minimum and the grid then scrolls sideways.
      double factor = static_cast<double>(available) / static_cast<double>(total);
      for (int& w : widths) w = std::max(minWidth, static_cast<int>(std::floor(w * factor)));
    } else {
      // Share the spare room out evenly, no column growing past the value.
      int extra = static_cast<int>((available - total) / count);
      for (int& w : widths) w = std::min(std::max(cap, minWidth), w + extra);
    }
    for (int k = 0; k < count; ++k)
      grid.SetColumnWidth(indices[static_cast<std::size_t>(k)], widths[static_cast<std::size_t>(k)]);
  });
}

namespace {
bool ResourceFontOf(Font& font) {
  if (!g_ResourceServer) return false;
  const ResourceFont& resourceFont = g_ResourceServer->Font();
  font.Name = resourceFont.Name;
  font.Size = resourceFont.Size;
  font.Charset = resourceFont.Charset;
  return true;
}
}  // namespace

void ApplyFormLocalization(Form& form) {
  for (const auto& control : form.Controls()) {
    if (!control->HasFont()) continue;
    ResumeNext([&] {
      Font font = control->GetFont();
      if (ResourceFontOf(font)) control->SetFont(font);
    });
  }
}

void ApplyGridFontLocalization(Grid& grid) {
  ResumeNext([&] {
    Font font = grid.GetFont();
    if (ResourceFontOf(font)) grid.SetFont(font);
  });
}

void ScaleFormSize(Form& form, const ResourceServer* reference, bool scaleWidth, bool scaleHeight) {
  ResumeNext([&] {
    const ResourceServer* server = reference ? reference : g_ResourceServer.get();
    double factor = server ? server->SizeFactor() : 1.0;
    if (!std::isfinite(factor) || factor <= 0) return;
    int width = scaleWidth ? static_cast<int>(std::lround(form.Width() * factor)) : form.Width();
    int height = scaleHeight ? static_cast<int>(std::lround(form.Height() * factor)) : form.Height();
    form.Move(form.Left(), form.Top(), width, height);
  });
}

void SetFormIcon(Form& form) {
  ResumeNext([&] {
    form.SetIconKey(PictureKeys::kProgressIcon);
    form.GetPlatform().SetWindowIcon(form.Id(), PictureKeys::kProgressIcon);
    if (form.OwnerWindow() != 0)
      form.GetPlatform().SetWindowIcon(form.OwnerWindow(), PictureKeys::kProgressIcon);
  });
}

}  // namespace corvana::ui::WindowUtilities
