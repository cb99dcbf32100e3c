// The window classes every plug-in window derives from. TtsxToolForm makes
// the window a top-level tool window owned by the window it was constructed
// with (the host's main view): no taskbar button, kept above its owner and
// hidden with it. TtsxForm adds AutoDrag: the window can be dragged by any
// bare spot of its client area.
#pragma once

#include "ui/toolkit/form.h"
#include "ui/toolkit/window_styles.h"

namespace rillmark {

class TtsxCustomForm : public ui::Form {
 public:
  using ui::Form::Form;
};

class TtsxToolForm : public TtsxCustomForm {
 public:
  using TtsxCustomForm::TtsxCustomForm;

  // The extended style is replaced, not extended: the host expects exactly
  // a tool window that is a control parent, and nothing the base form or
  // the border style adds.
  void createParams(ui::CreateParams& params) const override {
    TtsxCustomForm::createParams(params);
    params.exStyle = ui::kWsExToolWindow | ui::kWsExControlParent;
    params.style &= ~ui::kWsChild;
  }
};

class TtsxForm : public TtsxToolForm {
 public:
  // Derived constructors build their layout after this one; none of them
  // touches AutoDrag, so it is on in every plug-in window.
  explicit TtsxForm(void* parentWindow) : TtsxToolForm(parentWindow) { AutoDrag = true; }

  int nonClientHitTest(int inherited) const override {
    const int result = TtsxToolForm::nonClientHitTest(inherited);
    return AutoDrag && result == ui::kHtClient ? ui::kHtCaption : result;
  }

  bool AutoDrag = false;
};

}  // namespace rillmark
