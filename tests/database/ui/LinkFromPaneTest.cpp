// Choosing "database field" as the source of an element in the designer's
// real main frame while the sign has no database: the connection wizard
// links the sign first, and a wizard cancelled halfway leaves the sign and
// the element as they were.
#include "AppContext.h"
#include "Commands.h"
#include "ConnectionWizard.h"
#include "DatabaseLink.h"
#include "DesignView.h"
#include "ElementList.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "PaneParts.h"
#include "Preferences.h"
#include "SignApp.h"
#include "SignData.h"
#include "TestSupport.h"
#include "Text.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

class LinkFromPaneTest : public ::testing::Test
{
protected:
    LinkFromPaneTest()
    {
        EnsureWidgetApp();
        RegisterPanes();
        csv = home.FilePath("prices.csv");
        QFile file(csv);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Name,Code,Price\r\nWidget,TAB0000001,2.50\r\nGadget,TAB0000002,7\r\n");
    }
    ~LinkFromPaneTest() override
    {
        FrameHooks().chooseFile = nullptr;
        if (frame)
            frame->Document().SetModifiedFlag(false);
        app.ExitInstance();
    }
    bool Start()
    {
        app.frameTemplate = CSignApp::DesignerFrameTemplate();
        if (app.InitInstance({"tabrel"}))
            frame = qobject_cast<CMainFrame*>(app.GetMainWindow());
        if (!frame)
            return false;
        frame->resize(1300, 1000);
        frame->show();
        view = qobject_cast<CDesignView*>(frame->Canvas());
        if (view)
            view->FullSize();
        return view != nullptr;
    }
    CText* PlaceText()
    {
        frame->UpdateActionsNow();
        frame->Action(ID_TOOL_TEXT)->trigger();
        const CPoint p = view->LPtoDP(CPoint(300, 400));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
        return dynamic_cast<CText*>(view->Selection().Primary());
    }
    QComboBox* SourceType() const
    {
        auto* tabs = frame->PropertyPane()->findChild<QTabWidget*>(QStringLiteral("id1092"));
        EXPECT_NE(tabs, nullptr);
        if (!tabs)
            return nullptr;
        tabs->setCurrentIndex(0);
        return tabs->widget(0)->findChild<QComboBox*>(QStringLiteral("id1000"));
    }
    // Chooses the source kind in the pane; the wizard it opens is answered
    // by drive once it is shown.
    void ChooseSource(int kind, std::function<void(CConnectionWizard&)> drive)
    {
        bool driven = false;
        std::function<void()> poll;
        poll = [&] {
            auto* wizard = qobject_cast<CConnectionWizard*>(QApplication::activeModalWidget());
            if (!wizard) {
                QTimer::singleShot(10, poll);
                return;
            }
            driven = true;
            drive(*wizard);
            if (wizard->isVisible())
                wizard->reject();
        };
        QTimer::singleShot(0, poll);
        QComboBox* type = SourceType();
        ASSERT_NE(type, nullptr);
        const int index = type->findData(kind);
        type->setCurrentIndex(index);
        emit type->activated(index);
        EXPECT_TRUE(driven);
    }
    static void Next(CConnectionWizard& wizard, QWizard::WizardButton which = QWizard::NextButton)
    {
        QTest::mouseClick(wizard.button(which), Qt::LeftButton);
    }
    template <class T> static T* On(CConnectionWizard& wizard, const char* name)
    {
        return wizard.currentPage()->findChild<T*>(QString::fromLatin1(name));
    }

    CTestHome home;
    CMessageResponder messages;
    CAppContext context;
    CSignApp app;
    CMainFrame* frame = nullptr;
    CDesignView* view = nullptr;
    QString csv;
};

TEST_F(LinkFromPaneTest, DatabaseFieldSourceLinksTheSignThroughTheWizard)
{
    ASSERT_TRUE(Start());
    CText* text = PlaceText();
    ASSERT_NE(text, nullptr);
    frame->Document().SetModifiedFlag(false);
    QString asked;
    FrameHooks().chooseFile = [&](QWidget*, const CFileChoice& choice) {
        asked = choice.filter;
        return csv;
    };

    ChooseSource(SOURCE_DATABASE, [&](CConnectionWizard& wizard) {
        On<QListWidget>(wizard, "id1089")->setCurrentRow(kDatabaseTypeText);
        Next(wizard);
        // The file comes from the frame's file box.
        QTest::mouseClick(On<QPushButton>(wizard, "idBrowse"), Qt::LeftButton);
        Next(wizard);
        ASSERT_EQ(wizard.currentId(), CConnectionWizard::kTextPage);
        On<QCheckBox>(wizard, "id1098")->setChecked(true);
        Next(wizard);
        ASSERT_EQ(wizard.currentId(), CConnectionWizard::kSortPage);
        Next(wizard, QWizard::FinishButton);
    });

    EXPECT_TRUE(asked.contains("*.csv")) << asked.toStdString();
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    CDatabaseLink& link = TheDatabaseLink();
    EXPECT_EQ(link.GetLinkKind(), 0);
    EXPECT_EQ(link.m_dataSource, csv);
    EXPECT_EQ(link.CurrentTable(), "prices#csv");
    EXPECT_EQ(link.FieldNames(), (QStringList{"Name", "Code", "Price"}));
    EXPECT_EQ(link.OpenRecordset(), 2);
    EXPECT_EQ(text->m_dataSource, SOURCE_DATABASE);
    // The Field list offers the new database's fields; the element reads the
    // first until another is chosen.
    auto* fields = frame->PropertyPane()->findChild<QComboBox*>(QStringLiteral("id1001"));
    ASSERT_NE(fields, nullptr);
    QStringList offered;
    for (int i = 0; i < fields->count(); ++i)
        offered << fields->itemText(i);
    EXPECT_EQ(offered, (QStringList{"Name", "Code", "Price"}));
    EXPECT_EQ(fields->currentText(), "Name");
    EXPECT_EQ(text->m_sourceName, "Name");
    EXPECT_TRUE(frame->Document().IsModified());
    // The next file box starts in the folder of this database.
    EXPECT_EQ(CShellSettings::Current().lastDatabaseFolder, QFileInfo(csv).absolutePath());
}

TEST_F(LinkFromPaneTest, CancelledWizardLeavesTheSignUnlinked)
{
    ASSERT_TRUE(Start());
    CText* text = PlaceText();
    ASSERT_NE(text, nullptr);
    frame->Document().SetModifiedFlag(false);
    const int before = text->m_dataSource;

    const QString lastFolder = CShellSettings::Current().lastDatabaseFolder;
    ChooseSource(SOURCE_DATABASE, [&](CConnectionWizard& wizard) {
        On<QListWidget>(wizard, "id1089")->setCurrentRow(kDatabaseTypeText);
        Next(wizard);
        QTest::keyClicks(On<QLineEdit>(wizard, "id1086"), csv);
        Next(wizard);
        ASSERT_EQ(wizard.currentId(), CConnectionWizard::kTextPage);
        Next(wizard, QWizard::CancelButton);
    });

    EXPECT_EQ(TheDatabaseLink().GetLinkKind(), -1);
    EXPECT_FALSE(TheDatabaseLink().IsConnected());
    EXPECT_EQ(text->m_dataSource, before);
    EXPECT_EQ(SourceType()->currentData().toInt(), before);
    EXPECT_FALSE(frame->Document().IsModified());
    EXPECT_EQ(CShellSettings::Current().lastDatabaseFolder, lastFolder);
}

} // namespace
