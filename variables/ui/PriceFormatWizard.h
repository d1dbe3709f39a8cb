// The price format dialogs over a working record: the wizard that makes a
// new format (the five part pages, then its name) and the sheet that edits
// one (the same part pages as tabs, OK and Cancel).
#pragma once

#include <QDialog>
#include <QWizard>

#include <memory>
#include <vector>

class CPriceElmtPage;
class CPriceFormat;
class CPriceSample;
class CFormatNamePage;
class QTabWidget;

class CPriceFormatWizard : public QWizard
{
    Q_OBJECT

public:
    CPriceFormatWizard(CPriceFormat& format, QWidget* parent = nullptr);
    ~CPriceFormatWizard() override;

    // The part pages in their order: 0, 5, 2, 3, 4.
    static const std::vector<int>& PartOrder();

private:
    std::unique_ptr<CPriceSample> m_sample;
};

class CPriceFormatSheet : public QDialog
{
    Q_OBJECT

public:
    CPriceFormatSheet(CPriceFormat& format, QWidget* parent = nullptr);
    ~CPriceFormatSheet() override;

    QTabWidget* Tabs() const { return m_tabs; }
    void accept() override;

private:
    std::unique_ptr<CPriceSample> m_sample;
    QTabWidget* m_tabs = nullptr;
    std::vector<CPriceElmtPage*> m_pages;
};
