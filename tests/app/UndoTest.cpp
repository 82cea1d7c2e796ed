#include <random>
#include <vector>

#include <QApplication>
#include <QTest>

#include "AppFixture.h"
#include "RowInput.h"
#include "app/TabViews.h"
#include "pages/SymbolControls.h"

namespace {

class History : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        prompts->saveChangesAnswer = UserPrompts::Answer::No;
    }

    // The page in front, as a user brings it before typing into it.
    const CDialogTab& Page(std::size_t index)
    {
        CDialogTab* page = Frame().UserView()->Pages()[index];
        Frame().UserView()->TabControl().SelectPage(page);
        return *page;
    }
    const CDialogTab& Parameters() { return Page(0); }
    CEditSymDouble* Edit(const QString& name) { return RowOf(Parameters(), name).valueEdit; }
    CEditSymCombo* Inductor() { return RowOf(Page(1), "L__MIN").combo; }

    void ChooseMode(const QString& mode)
    {
        CEditSymCombo* combo = RowOf(Parameters(), "ad").combo;
        combo->setCurrentIndex(combo->findText(mode));
        emit combo->activated(combo->currentIndex());
        QCoreApplication::processEvents();
    }
    void ChooseDefaultInductor()
    {
        emit Inductor()->activated(0);
        QCoreApplication::processEvents();
    }
    void UndoAll()
    {
        while (Frame().UndoAction()->isEnabled())
            Frame().UndoAction()->trigger();
    }
    void RedoAll()
    {
        while (Frame().RedoAction()->isEnabled())
            Frame().RedoAction()->trigger();
    }
    std::vector<uint8_t> Saved() { return Document().DesignFileBytes(); }

    void ActivateWindow()
    {
        Frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    }
};

// Typing, reverts to the proposal and Mode switches in random order; the
// history takes every one of them back, and forward again, exactly.
TEST_F(History, RandomEditsUndoAndRedoToTheSameBytes)
{
    const QStringList inputs{"V__IN_MIN", "P__OUT", "V__OUT", "f__S", "t__H"};
    for (unsigned seed = 1; seed <= 4; ++seed) {
        SCOPED_TRACE(seed);
        ASSERT_TRUE(Frame().FileNew());
        const std::vector<uint8_t> start = Saved();
        std::mt19937 random(seed);
        for (int action = 0; action < 20; ++action) {
            switch (random() % 5) {
            case 0:
                ChooseMode(random() % 2 == 0 ? "DIGITAL" : "ANALOG");
                break;
            case 1:
                ChooseDefaultInductor();
                break;
            case 2:
                Type(Inductor(), QString::number(500 + random() % 1000));
                break;
            default:
                Type(Edit(inputs[static_cast<int>(random() % inputs.size())]), QString::number(50 + random() % 300));
                break;
            }
        }
        const std::vector<uint8_t> final = Saved();
        ASSERT_NE(final, start);

        UndoAll();
        EXPECT_EQ(Saved(), start);
        EXPECT_FALSE(Document().IsModified());
        EXPECT_EQ(Edit("V__IN_MIN")->text(), "85.0") << "the rows show the restored values";
        EXPECT_EQ(RowOf(Parameters(), "ad").combo->currentText(), "ANALOG");

        RedoAll();
        EXPECT_EQ(Saved(), final);
        EXPECT_TRUE(Document().IsModified());
    }
}

TEST_F(History, KeystrokesOfOneFieldAreOneStepUntilTheFocusLeaves)
{
    ActivateWindow();
    CEditSymDouble* output = Edit("V__OUT");
    output->setFocus();
    Type(output, "400");
    Type(output, "410");
    EXPECT_EQ(Frame().UndoAction()->text(), "&Undo Output Voltage");

    Type(Edit("P__OUT"), "200");  // another field is a new step
    EXPECT_EQ(Frame().UndoAction()->text(), "&Undo Maximum Output Power");
    Frame().UndoAction()->trigger();
    EXPECT_EQ(Document().model.P__OUT.Value(), 150);
    EXPECT_EQ(Frame().RedoAction()->text(), "&Redo Maximum Output Power");
    Frame().UndoAction()->trigger();
    EXPECT_EQ(Document().model.V__OUT.Value(), 385) << "both keystrokes went in one step";
    EXPECT_FALSE(Frame().UndoAction()->isEnabled());
    EXPECT_EQ(Frame().UndoAction()->text(), "&Undo");

    output->setFocus();
    Type(output, "390");
    Edit("P__OUT")->setFocus();
    output->setFocus();
    Type(output, "395");
    Frame().UndoAction()->trigger();
    EXPECT_EQ(Document().model.V__OUT.Value(), 390) << "leaving the field ended the step";
}

// The keys reach the document's history even while a row has the focus,
// and the row shows the value they bring back.
TEST_F(History, UndoAndRedoKeysWorkInsideARow)
{
    ActivateWindow();
    CEditSymDouble* output = Edit("V__OUT");
    output->setFocus();
    Type(output, "400");
    QTest::keyClick(output, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Document().model.V__OUT.Value(), 385);
    EXPECT_EQ(output->text(), "385.0");
    QTest::keyClick(output, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Document().model.V__OUT.Value(), 400);
    QTest::keyClick(output, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(output, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Document().model.V__OUT.Value(), 400);
    EXPECT_EQ(output->text(), "400.0");

    QLineEdit* inductor = Inductor()->lineEdit();
    inductor->setFocus();
    Type(inductor, "1000");
    QTest::keyClick(inductor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(Document().model.L__MIN.userSet);
}

TEST_F(History, ModifiedFollowsTheSavePoint)
{
    QTemporaryDir dir;
    Type(Edit("V__OUT"), "400");
    prompts->savePath = dir.filePath("saved.qxr");
    ASSERT_TRUE(Frame().FileSave());
    EXPECT_FALSE(Document().IsModified());

    Frame().UndoAction()->trigger();
    EXPECT_TRUE(Document().IsModified());
    Frame().RedoAction()->trigger();
    EXPECT_FALSE(Document().IsModified()) << "redone back to what was saved";
    Type(Edit("V__OUT"), "410");
    EXPECT_TRUE(Document().IsModified()) << "typing on after a save is a step of its own";
    Frame().UndoAction()->trigger();
    EXPECT_FALSE(Document().IsModified());

    Type(Edit("V__OUT"), "420");
    ChooseDefaultInductor();
    EXPECT_TRUE(Frame().UndoAction()->isEnabled());
    prompts->openPath = dir.filePath("saved.qxr");
    prompts->saveChangesAnswer = UserPrompts::Answer::No;
    ASSERT_TRUE(Frame().FileOpen());
    EXPECT_FALSE(Frame().UndoAction()->isEnabled()) << "Open clears the history";
    Type(Edit("V__OUT"), "430");
    ASSERT_TRUE(Frame().FileNew());
    EXPECT_FALSE(Frame().UndoAction()->isEnabled()) << "New clears the history";
    EXPECT_FALSE(Frame().RedoAction()->isEnabled());
}

TEST_F(History, TitleMarksUnsavedChangesThroughUndoRedoAndSave)
{
    QTemporaryDir dir;
    EXPECT_EQ(ShownTitle(), "Untitled - QXR");
    Type(Edit("V__OUT"), "400");
    EXPECT_EQ(ShownTitle(), "Untitled* - QXR") << "after an edit";
    Frame().UndoAction()->trigger();
    EXPECT_EQ(ShownTitle(), "Untitled - QXR") << "after undoing it";
    Frame().RedoAction()->trigger();
    EXPECT_EQ(ShownTitle(), "Untitled* - QXR") << "after redoing it";
    prompts->savePath = dir.filePath("saved.qxr");
    ASSERT_TRUE(Frame().FileSave());
    EXPECT_EQ(ShownTitle(), "saved.qxr - QXR") << "after saving";
    Frame().UndoAction()->trigger();
    EXPECT_EQ(ShownTitle(), "saved.qxr* - QXR") << "undone past the save";
    Frame().RedoAction()->trigger();
    EXPECT_EQ(ShownTitle(), "saved.qxr - QXR") << "redone to what was saved";
}

TEST_F(History, RevertModeAndDescriptionAreStepsOfTheirOwn)
{
    Type(Inductor(), "1000");
    ChooseDefaultInductor();
    ChooseMode("DIGITAL");
    Document().SetDescription(u"boost stage");
    EXPECT_EQ(Frame().UndoAction()->text(), "&Undo Description");

    Frame().UndoAction()->trigger();
    EXPECT_EQ(Document().designDescription, u"Add Description here...");
    Frame().UndoAction()->trigger();
    EXPECT_EQ(Document().model.Mode(), CTop::ANALOG);
    EXPECT_EQ(RowOf(Parameters(), "ad").combo->currentText(), "ANALOG");
    Frame().UndoAction()->trigger();
    EXPECT_TRUE(Document().model.L__MIN.userSet);
    EXPECT_EQ(Document().model.L__MIN.Value(), 1000e-6);
    EXPECT_EQ(Inductor()->currentText(), "1000.0");
}

TEST_F(History, AChangeThatChangesNothingIsNoStep)
{
    ChooseDefaultInductor();  // the inductor already follows its proposal
    EXPECT_FALSE(Frame().UndoAction()->isEnabled());
    EXPECT_FALSE(Document().IsModified());
    ChooseMode("DIGITAL");
    ChooseMode("DIGITAL");
    Frame().UndoAction()->trigger();
    EXPECT_FALSE(Frame().UndoAction()->isEnabled());
    EXPECT_FALSE(Document().IsModified());
}

}  // namespace
