#include "watcher/ui/GraphControl.h"

namespace corvana::ui {

GraphControl::~GraphControl() {
  DetachGraph();
}

void GraphControl::DetachGraph() {
  if (m_Graph && m_GraphSubscription) m_Graph->Unsubscribe(m_GraphSubscription);
  m_GraphSubscription = 0;
}

void GraphControl::SetGraph(std::shared_ptr<OGrGraph> graph) {
  if (graph == m_Graph) return;
  DetachGraph();
  m_Graph = std::move(graph);
  if (m_Graph) m_GraphSubscription = m_Graph->Subscribe([this] { NotifyChanged("GraphData"); });
  NotifyChanged("Graph");
}

void GraphControl::SetRightClickEnabled(bool enabled) {
  if (m_RightClickEnabled == enabled) return;
  m_RightClickEnabled = enabled;
  NotifyChanged("RightClickEnabled");
}

void GraphControl::SetHelpFilePath(const std::string& path) {
  if (m_HelpFilePath == path) return;
  m_HelpFilePath = path;
  NotifyChanged("HelpFilePath");
}

void GraphControl::SetModalDialogBeingDisplayed(bool displayed) {
  if (m_ModalDialog == displayed) return;
  m_ModalDialog = displayed;
  NotifyChanged("ModalDialogBeingDisplayed");
}

Variant GraphControl::Property(std::string_view name) const {
  if (name == "RightClickEnabled") return Variant(m_RightClickEnabled);
  if (name == "HelpFilePath") return Variant(m_HelpFilePath);
  if (name == "ModalDialogBeingDisplayed") return Variant(m_ModalDialog);
  if (name == "CurveCount") return Variant(static_cast<std::int32_t>(m_Graph ? m_Graph->CurveCount() : 0));
  if (name == "TitleText") return Variant(m_Graph ? m_Graph->TitleText() : std::string());
  return Control::Property(name);
}

}  // namespace corvana::ui
