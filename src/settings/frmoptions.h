// The options dialog "选项设置": the six colours, the switches and the time limit.
#pragma once

#include "shell/appcontext.h"

#include <QDialog>

namespace orvane {

// The window whose text the options may redraw (the test window).
class OptionsTarget {
public:
    virtual ~OptionsTarget() = default;
    // The text view is visible.
    virtual bool textShown() const = 0;
    virtual void setSaveResultEnabled(bool on) = 0;
    // Renders the view's text again with the current settings.
    virtual void redrawText() = 0;
};

class frmOptions final : public QDialog {
    Q_OBJECT
public:
    frmOptions(AppContext &ctx, OptionsTarget *target, QWidget *parent = nullptr);

private:
    AppContext &m_ctx;
    OptionsTarget *m_target;
};

} // namespace orvane
