#pragma once

#include "watcher/ui/ComboBox.h"
#include "watcher/ui/Form.h"
#include "watcher/ui/Grid.h"
#include "watcher/ui/Platform.h"

namespace corvana {
class ResourceServer;
}

namespace corvana::ui {

// The window helpers shared by the four windows and the controller. Every helper traps its own
// errors and then does nothing (or answers false / empty).
namespace WindowUtilities {

// Z-order only: size, position and painting stay as they are.
void MakeTopMost(Platform& platform, WindowId window);
void MakeNotTopMost(Platform& platform, WindowId window);
// True when the foreground window belongs to this process (g_WatcherProcessID).
bool IsOwnProcessForeground(Platform& platform);

// Every row's cell texts joined by tabs, rows joined by CR, onto the clipboard.
void CopyGridToClipboard(Platform& platform, const Grid& grid);
// Entries: resource 4308, resource 4309; the first selected.
void FillReportPlacementCombo(ComboBox& combo);
// The standard grid look, then the resource server's font.
void StyleGrid(Grid& grid);
// Fits the columns inside the grid's own width: columns keep their share of `value` twips per
// column at most and all of them end inside the grid.
void AdjustGridColumns(Grid& grid, long value);

// The resource server's font (name, size, character set) on every control of the form that has
// a font.
void ApplyFormLocalization(Form& form);
void ApplyGridFontLocalization(Grid& grid);
// Multiplies the form's Width (scaleWidth) and Height (scaleHeight) by the size factor of the
// reference's language; a null reference means the bound resource server (g_ResourceServer).
void ScaleFormSize(Form& form, const ResourceServer* reference, bool scaleWidth, bool scaleHeight);
// The icon "ProgressIcon" on the form and on its owner window.
void SetFormIcon(Form& form);

}  // namespace WindowUtilities
}  // namespace corvana::ui
