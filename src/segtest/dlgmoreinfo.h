// The details of a finished test ("详细信息"): the word tables of the text and the figures of
// the user's typing, with the key counts of the whole text and of the typed stretch.
#pragma once

#include "shell/appcontext.h"

#include <QString>
#include <functional>

class QWidget;

namespace orvane {

// The "更多信息" step of the result dialog: builds the character and word tables of viewText
// when this text has none yet (showing waiting(true) during the work and waiting(false) after
// the details are closed), then shows the details dialog modally over parent.
void showMoreInfo(AppContext &ctx, const QString &viewText, QWidget *parent, const std::function<void(bool)> &waiting);

} // namespace orvane
