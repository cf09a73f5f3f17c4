#pragma once

#include <QDialog>

namespace korvex {

// The About window: the program's name, version and purpose, and its links.
class AboutWindow : public QDialog {
    Q_OBJECT

public:
    explicit AboutWindow(QWidget* parent = nullptr);
};

}  // namespace korvex
