#pragma once

#include "Messages.h"

class QWidget;

// Message boxes shown with QMessageBox.
class QtMessages : public Messages
{
public:
    explicit QtMessages(QWidget *parent = nullptr) : parent(parent) {}
    void setParent(QWidget *p) { parent = p; }
    void inform(const QString &title, const QString &text) override;
    bool ask(const QString &title, const QString &text) override;
    int choose(const QString &title, const QString &text, const QStringList &buttons, int defaultButton) override;

private:
    QWidget *parent;
};
