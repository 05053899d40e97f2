#pragma once

// Registry of the screenshot program: a name and a function that builds the widget to render.
//
//   HV_SCREEN("list_checks")
//   {
//       auto* pList = new CXListCtrl;
//       ...
//       return pList;   // the program shows it, renders it to list_checks.png and deletes it
//   }
//
// The widget is shown at its size (resize it in the function, or it gets its size hint). A
// dialog is shown without its modal loop.
#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <vector>

using HVScreenFactory = std::function<QWidget*()>;

bool HVRegisterScreen(const QString& strName, HVScreenFactory factory);
[[nodiscard]] const std::map<QString, HVScreenFactory>& HVScreens();

// Work done once before the first screen, after the program has loaded the resource module:
// the theme's colours and pictures, say. Runs in the order of registration.
bool HVRegisterScreenSetup(std::function<void()> setup);
[[nodiscard]] const std::vector<std::function<void()>>& HVScreenSetups();

#define HV_SCREEN_CAT2(a, b) a##b
#define HV_SCREEN_CAT(a, b) HV_SCREEN_CAT2(a, b)
#define HV_SCREEN(name)                                                                                                \
    static QWidget* HV_SCREEN_CAT(HvScreenMake_, __LINE__)();                                                          \
    [[maybe_unused]] static const bool HV_SCREEN_CAT(g_bHvScreen_, __LINE__) =                                         \
        HVRegisterScreen(QStringLiteral(name), &HV_SCREEN_CAT(HvScreenMake_, __LINE__));                               \
    static QWidget* HV_SCREEN_CAT(HvScreenMake_, __LINE__)()
