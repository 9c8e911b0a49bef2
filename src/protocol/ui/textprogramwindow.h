// The text-program window: pages with play times, text materials with the
// card's own fonts, ".tprg" save and open, and the send to the selected
// card. Every rule lives in TextProgram, the file reader/writer and the
// sender; the window shows their results.
#pragma once

#include "protocol/textprogram.h"
#include "protocol/textprogramsender.h"

#include <QDialog>
#include <QTextCharFormat>

class QComboBox;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTextEdit;
class QTimeEdit;
class QTreeWidget;

namespace ledsign {

class TextProgramWindow : public QDialog {
    Q_OBJECT
public:
    // `sender` may be null (sending is then unavailable).
    TextProgramWindow(ProjectModel& model, TextProgramSender* sender, QWidget* parent = nullptr);

    // Shows the window modally, loading `file` when it exists; returns the
    // file last saved or opened.
    QString open(const QString& file, const QString& cardName, bool rs485);
    // The same set-up without running the window.
    void prepare(const QString& file, const QString& cardName, bool rs485);

    // Where the save and open dialogs start (the playbill folder).
    void setFolder(const QString& folder) { folder_ = folder; }

    bool loadFile(const QString& path);
    bool saveFile(const QString& path);
    QString lastFile() const { return lastFile_; }
    QString statusText() const;
    // A text from elsewhere (the send under way) in the window's status bar.
    void showStatusText(const QString& text);

    // The buttons' actions, reachable without clicks. A new material is
    // made on a later turn of the event loop ("tip_wait" meanwhile).
    void newPage();
    void newMaterial();
    void send();

    // Field access for drivers of the window (tests, screenshots).
    QLineEdit* pageNameField() const { return pageName_; }
    QTimeEdit* startField() const { return start_; }
    QTimeEdit* endField() const { return end_; }
    QLineEdit* materialNameField() const { return materialName_; }
    QTextEdit* editor() const { return editor_; }
    QTreeWidget* pageList() const { return pageList_; }
    QTreeWidget* materialList() const { return materialList_; }
    QLineEdit* playTimesField() const { return playTimes_; }
    QLineEdit* stayField() const { return stay_; }
    QComboBox* modeList() const { return mode_; }
    QComboBox* speedList() const { return speed_; }
    QComboBox* attributeList() const { return attribute_; }
    QComboBox* colorList() const { return color_; }
    QComboBox* fontList() const { return font_; }
    QComboBox* sizeList() const { return size_; }

signals:
    // A material asked for by newMaterial() has been made (or its page had
    // gone meanwhile).
    void materialCreated();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUi();
    void applyCaption();
    void showSelectionLook();
    void fillPageList();
    void fillMaterialList();
    void selectPage();
    void selectMaterial();
    void editPage();
    void deletePage();
    void createMaterial();
    void editMaterial();
    void deleteMaterial();
    void saveAs();
    void openFile();
    void applyEditorLook();
    void clearEditor();
    void report(const QString& key);
    TextMaterialForm form() const;
    QString editorMarkup() const;
    void loadEditorMarkup(const QString& markup);
    QStringList rowPageIds() const;

    ProjectModel& model_;
    TextProgram program_;
    TextProgramSender* sender_;
    QString cardName_;
    bool rs485_ = false;
    QString selectedPage_;
    QString lastFile_;
    QString folder_;

    QLineEdit* pageName_ = nullptr;
    QTimeEdit* start_ = nullptr;
    QTimeEdit* end_ = nullptr;
    QTreeWidget* pageList_ = nullptr;
    QTreeWidget* materialList_ = nullptr;
    QLineEdit* materialName_ = nullptr;
    QLineEdit* playTimes_ = nullptr;
    QComboBox* mode_ = nullptr;
    QComboBox* speed_ = nullptr;
    QLineEdit* stay_ = nullptr;
    QComboBox* attribute_ = nullptr;
    QComboBox* color_ = nullptr;
    QComboBox* font_ = nullptr;
    QComboBox* size_ = nullptr;
    QTextEdit* editor_ = nullptr;
    QPushButton* editPageButton_ = nullptr;
    QPushButton* deletePageButton_ = nullptr;
    QPushButton* addMaterialButton_ = nullptr;
    QStatusBar* status_ = nullptr;
    QTextCharFormat look_; // what typing into an empty editor gets
    bool textChanged_ = false;
};

} // namespace ledsign
