#pragma once

#include "binarysystem.h"

#include <QDialog>

#include <optional>
#include <vector>

class QLabel;
class QListWidget;

// "More systems...": the systems a student can run, each with its title,
// its two minerals, its reference and a line on what it teaches, and a way
// to open an instructor's system file. Keyboard and screen reader complete:
// the list takes the arrow keys and Enter, each entry reads whole.
class SystemChooser : public QDialog
{
    Q_OBJECT

public:
    explicit SystemChooser(const std::vector<BinarySystem> &systems, QWidget *parent = nullptr);

    // The system chosen when the dialog was accepted.
    std::optional<BinarySystem> chosen() const { return m_chosen; }

private:
    void openSelected();
    void openFile();

    std::vector<BinarySystem> m_systems;
    QListWidget *m_list;
    QLabel *m_problem;
    std::optional<BinarySystem> m_chosen;
};
