#include "IconResources.h"

#include "resource.h"

QIcon LoadIconResource(int id) {
    QIcon icon;
    if (id == IDI_MAIN) {
        for (const int size : {16, 32, 48}) {
            icon.addFile(QStringLiteral(":/icons/main-%1.png").arg(size), QSize(size, size));
        }
    } else if (id == IDI_TRAY) {
        icon.addFile(QStringLiteral(":/icons/tray-16.png"), QSize(16, 16));
    }
    return icon;
}
