#include "CAboutDlg.h"

#include "IconResources.h"
#include "ModalFrame.h"
#include "Win32Types.h"
#include "resource.h"
#include "srHyperLink.h"

#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    UseModalFrame(*this);
    const DialogUnits units(font());
    m_controls =
        BuildDialog(this, kAboutDialogTemplate,
                    [this, &units](const DialogControl& control, QWidget* dialog) -> QWidget* {
                        if (control.kind == ControlKind::Icon) {
                            auto* picture = new QLabel(dialog);
                            const QRect place =
                                units.toPixels(control.x, control.y, control.width, control.height);
                            picture->setPixmap(LoadIconResource(control.iconId).pixmap(place.size()));
                            return picture;
                        }
                        if (control.id == IDC_HYPERLINK) {
                            m_HyperLink = new srHyperLink(dialog);
                            m_HyperLink->setText(QString::fromUtf8(control.text));
                            m_HyperLink->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                            return m_HyperLink;
                        }
                        return nullptr;
                    });
    connect(static_cast<QPushButton*>(m_controls.value(IDOK)), &QPushButton::clicked, this, &QDialog::accept);

    // Now that it stands at its place, the static text becomes the link.
    m_HyperLink->PreSubclassWindow();
    m_HyperLink->SetURL(QStringLiteral(LARKSPUR_HOMEPAGE));
}

int CAboutDlg::DoModal() {
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}
