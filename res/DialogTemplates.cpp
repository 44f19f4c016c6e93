#include "DialogTemplate.h"

#include "resource.h"

extern const DialogTemplate kAboutDialogTemplate;
extern const DialogTemplate kMainDialogTemplate;
extern const DialogTemplate kSettingsDialogTemplate;

const DialogTemplate* FindDialogTemplate(int id) {
    switch (id) {
    case IDD_ABOUTBOX:
        return &kAboutDialogTemplate;
    case IDD_MAIN:
        return &kMainDialogTemplate;
    case IDD_SETTINGS:
        return &kSettingsDialogTemplate;
    default:
        return nullptr;
    }
}
