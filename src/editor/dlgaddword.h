// The dialog "添加自定义词": type a word or pick it from a segmentation result, take the proposed
// code or change it, and add the word to the custom dictionary.
#pragma once

#include "shell/appcontext.h"

#include <QDialog>

namespace orvane {

class DlgAddWord final : public QDialog {
    Q_OBJECT
public:
    explicit DlgAddWord(AppContext &ctx, QWidget *parent = nullptr);

private:
    AppContext &m_ctx;
};

} // namespace orvane
