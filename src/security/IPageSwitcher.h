#pragma once

// Switches the shown task page. The main window installs itself into the manager while it
// exists, so that the manager and whatever reaches it (pages, the report, menu commands) can
// ask for a page without knowing any window.
class IPageSwitcher
{
public:
    virtual ~IPageSwitcher() = default;
    // Asks for the page (queued): the window shows it once the current page may be left.
    virtual void PostPageSwitch(int nPageId) = 0;
};
