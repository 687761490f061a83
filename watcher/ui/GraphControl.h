#pragma once

#include <memory>
#include <string>

#include "watcher/graph/OGrGraph.h"
#include "watcher/ui/Control.h"

namespace corvana::ui {

// The graph control: displays one graph object and redraws whenever the graph changes. With
// RightClickEnabled it offers its own menu (copy picture, save picture); while one of its dialogs
// is open ModalDialogBeingDisplayed is true.
class GraphControl : public Control {
 public:
  explicit GraphControl(std::string name) : Control(ControlKind::GraphControl, std::move(name)) {}
  ~GraphControl() override;

  bool HasFont() const noexcept override { return false; }

  // Assigning a graph displays it; nullptr shows an empty control.
  void SetGraph(std::shared_ptr<OGrGraph> graph);
  const std::shared_ptr<OGrGraph>& Graph() const noexcept { return m_Graph; }

  bool RightClickEnabled() const noexcept { return m_RightClickEnabled; }
  void SetRightClickEnabled(bool enabled);
  const std::string& HelpFilePath() const noexcept { return m_HelpFilePath; }
  void SetHelpFilePath(const std::string& path);

  bool ModalDialogBeingDisplayed() const noexcept { return m_ModalDialog; }
  // Set by the backend around its own dialogs.
  void SetModalDialogBeingDisplayed(bool displayed);

  Variant Property(std::string_view name) const override;

 private:
  void DetachGraph();

  std::shared_ptr<OGrGraph> m_Graph;
  int m_GraphSubscription = 0;
  bool m_RightClickEnabled = false;
  std::string m_HelpFilePath;
  bool m_ModalDialog = false;
};

}  // namespace corvana::ui
