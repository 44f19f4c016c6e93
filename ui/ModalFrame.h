// The frame of the program's modal dialogs: a caption with a close box, no minimize or maximize
// box (the dialogs have a fixed size), and the program icon.
#pragma once

#include "IconResources.h"
#include "resource.h"

#include <QDialog>

inline void UseModalFrame(QDialog& dialog) {
    dialog.setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint);
    dialog.setWindowIcon(LoadIconResource(IDI_MAIN));
}
