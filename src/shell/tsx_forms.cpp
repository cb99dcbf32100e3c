#include "shell/tsx_forms.h"

#include "ui/toolkit/window_styles.h"

namespace rillmark {

void TtsxToolForm::createParams(ui::CreateParams& params) const {
  TtsxCustomForm::createParams(params);
  params.exStyle = ui::ws_ex::kToolWindow | ui::ws_ex::kControlParent;
  params.style &= ~ui::ws::kChild;
}

TtsxForm::TtsxForm(void* parentWindow) : TtsxToolForm(parentWindow) { autoDrag_ = true; }

int TtsxForm::hitTest(int defaultAnswer) {
  const int answer = TtsxToolForm::hitTest(defaultAnswer);
  if (autoDrag_ && answer == ui::kHtClient) return ui::kHtCaption;
  return answer;
}

}  // namespace rillmark
