#pragma once

#include "core/ipc/OpenRequest.h"

#include <QString>
#include <QStringList>

namespace korvex {

class DocumentController;

// The files a start of the program was given: each file a document, and a
// left and a right picture for one more. Paths are made absolute against the
// current folder, so that another running program can open them.
OpenRequest launchRequest(const QStringList& documents, const QString& left = {}, const QString& right = {});

// Opens what a start asked for, whether this program's own start or a later
// one that handed its files over: one window per document file, one for the
// pair, and a new empty window when the request names no file. Files that
// cannot be read are reported in one message.
void openLaunchRequest(DocumentController& documents, const OpenRequest& request);

}  // namespace korvex
