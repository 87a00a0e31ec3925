#include "ui/ui_state.h"

#include <memory>

#include "app/app.h"

namespace lw {

UiState& ui_state(App& app) {
  std::unique_ptr<WindowSide>& side = app.state().window_side;
  if (!side) side = std::make_unique<UiState>();
  return static_cast<UiState&>(*side);
}

}  // namespace lw
