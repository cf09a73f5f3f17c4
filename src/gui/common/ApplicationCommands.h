#pragma once

#include "core/recent/RecentDocuments.h"

namespace korvex {

// The commands that belong to the application rather than to one document.
// The application controller carries them out; a document window's menu
// reaches them through this interface, so the document needs no controller.
class ApplicationCommands {
public:
    virtual ~ApplicationCommands() = default;

    virtual void newDocument() = 0;
    virtual void openDocument() = 0;
    virtual void openLeft() = 0;
    virtual void openRight() = 0;
    // File > Open Recent: reopens a picture on its side or a pair.
    virtual void openRecentDocument(const RecentDocument& entry) = 0;
    virtual void terminate() = 0;
    virtual void showAboutPanel() = 0;
    virtual void goToWebSite() = 0;
    virtual void showFAQ() = 0;
    virtual void mailToAuthor() = 0;
};

}  // namespace korvex
