// Every dialog at its default size, shown so that its layout is applied:
// no label, button or group box title is narrower than its text, and no
// list header column is narrower than its caption; no two controls share
// an access key. The same program runs again at QT_SCALE_FACTOR=1.5, and
// both in German and French, where no English text may be left (see
// CMakeLists.txt).
#include "faxcourier/addressbook/address_entry_dialog.h"
#include "faxcourier/addressbook/testing/dialog_fixture.h"
#include "faxcourier/app/configure_dialog.h"
#include "faxcourier/app/outbox_keeper.h"
#include "faxcourier/app/outbox_window.h"
#include "faxcourier/app/progress_dialog.h"
#include "faxcourier/app/send_fax_dialog.h"
#include "faxcourier/settings/fax_job.h"
#include "faxcourier/settings/settings.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDirIterator>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTreeView>
#include <QXmlStreamReader>

#include <filesystem>
#include <map>
#include <set>
#include <string>

using namespace korva;
using namespace korva::addressbook;
using namespace korva::addressbook::testing;
using korva::testing::SeedEntry;

namespace {

const char* const kAnnaDn = "MAIL=anna@example.com,carl";

// Long values, so that a field's text never widens its dialog's labels.
const std::vector<SeedEntry> kDirectory{
    {{"cn", "Anna Berg"},
     {"givenname", "Anna"},
     {"sn", "Berg"},
     {"o", "Yarrow Trading Company"},
     {"postalAddress", "1 Road\r\nTown"},
     {"fax", "0301 555 1234"},
     {"mail", "anna@example.com"},
     {"_editable", "1"},
     {"_deletable", "1"}},
    {{"cn", "Bert Blau"}, {"fax", "0402"}, {"mail", "bert@example.com"}, {"_deletable", "1"}}};

QString shown(QString text) { return text.remove(QLatin1Char('&')); }

// The widest line: a label may hold several.
int advance(const QFontMetrics& metrics, const QString& text)
{
    int widest = 0;
    for (const QString& line : shown(text).split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

std::string describe(const QWidget* widget, const QString& text, int need, int have)
{
    return QStringLiteral("%1 '%2' \"%3\": needs %4 px, has %5\n")
        .arg(QString::fromLatin1(widget->metaObject()->className()), widget->objectName(), text)
        .arg(need)
        .arg(have)
        .toStdString();
}

// Where a push button draws its label: inside its frame (and default ring).
int pushButtonRoom(QPushButton* button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    if (button->isDefault())
        option.features |= QStyleOptionButton::DefaultButton;
    if (button->autoDefault())
        option.features |= QStyleOptionButton::AutoDefaultButton;
    int room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
    if (!button->icon().isNull())
        room -= button->iconSize().width() + 4;
    return room;
}

// Every place in `dialog` where a text is wider than the room it is given.
std::string cutTexts(QWidget& dialog)
{
    std::string cuts;
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!label->isVisibleTo(&dialog) || label->text().isEmpty())
            continue;
        int room = label->contentsRect().width() - 2 * label->margin() - std::max(label->indent(), 0);
        int need = advance(label->fontMetrics(), label->text());
        if (label->wordWrap()) {  // only a single word can be cut
            need = 0;
            for (const QString& word : shown(label->text()).split(QRegularExpression(QStringLiteral("\\s+"))))
                need = std::max(need, label->fontMetrics().horizontalAdvance(word));
        }
        if (need > room)
            cuts += describe(label, label->text(), need, room);
    }
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(&dialog) || button->text().isEmpty())
            continue;
        if (auto* push = qobject_cast<QPushButton*>(button)) {
            int need = advance(push->fontMetrics(), push->text());
            if (need > pushButtonRoom(push))
                cuts += describe(push, push->text(), need, pushButtonRoom(push));
        } else if (button->width() < button->sizeHint().width()) {  // check box, radio button
            cuts += describe(button, button->text(), button->sizeHint().width(), button->width());
        }
    }
    for (QGroupBox* box : dialog.findChildren<QGroupBox*>()) {
        if (!box->isVisibleTo(&dialog) || box->title().isEmpty())
            continue;
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = box->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        QRect title = box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
        int need = title.left() + advance(box->fontMetrics(), box->title());
        if (need > box->width())
            cuts += describe(box, box->title(), need, box->width());
    }
    for (QHeaderView* header : dialog.findChildren<QHeaderView*>()) {
        if (!header->isVisibleTo(&dialog) || header->orientation() != Qt::Horizontal || !header->model())
            continue;
        int margin = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int section = 0; section < header->count(); ++section) {
            if (header->isSectionHidden(section))
                continue;
            QString caption = header->model()->headerData(section, Qt::Horizontal).toString();
            int need = header->fontMetrics().horizontalAdvance(caption) + margin;
            if (need > header->sectionSize(section))
                cuts += describe(header->parentWidget(), caption, need, header->sectionSize(section));
        }
    }
    return cuts;
}

// The access key of `text`: the character after a single '&'.
QChar accessKey(const QString& text)
{
    for (qsizetype at = text.indexOf(QLatin1Char('&')); at >= 0 && at + 1 < text.size();
         at = text.indexOf(QLatin1Char('&'), at + 2)) {
        if (text[at + 1] != QLatin1Char('&'))
            return text[at + 1].toLower();
    }
    return {};
}

// Controls shown together that answer the same Alt key.
std::string accessKeyClashes(QWidget& window)
{
    std::map<QChar, QStringList> owners;
    auto add = [&](QWidget* widget, const QString& text) {
        if (widget->isVisibleTo(&window) && !accessKey(text).isNull())
            owners[accessKey(text)] << text;
    };
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>())
        add(button, button->text());
    for (QLabel* label : window.findChildren<QLabel*>())
        if (label->buddy())
            add(label, label->text());
    for (QGroupBox* box : window.findChildren<QGroupBox*>())
        if (box->isCheckable())
            add(box, box->title());
    for (QTabBar* bar : window.findChildren<QTabBar*>())
        for (int tab = 0; tab < bar->count(); ++tab)
            add(bar, bar->tabText(tab));
    std::string clashes;
    for (const auto& [key, texts] : owners)
        if (texts.size() > 1)
            clashes += QStringLiteral("Alt+%1: %2\n").arg(key, texts.join(QStringLiteral(", "))).toStdString();
    return clashes;
}

// The language the run asks for, "" for English.
QString runLanguage()
{
    const QString language = qEnvironmentVariable("LANGUAGE").left(2);
    return language == QLatin1String("en") ? QString() : language;
}

// The words of a text, in lower case: runs of two or more letters.
QStringList wordsOf(const QString& text)
{
    static const QRegularExpression word(QStringLiteral("[^\\W\\d_]{2,}"),
                                         QRegularExpression::UseUnicodePropertiesOption);
    QStringList words;
    for (auto match = word.globalMatch(text); match.hasNext();)
        words << match.next().captured().toLower();
    return words;
}

// Every word the catalogues' translations into the run's language use. A
// text made of them reads in that language, also where it joins several.
const std::set<QString>& translatedWords()
{
    static const std::set<QString> words = [] {
        std::set<QString> all;
        const QString folder = qEnvironmentVariable("KORVA_SOURCE_DIR") + QStringLiteral("/translations");
        QDirIterator files(folder, {QStringLiteral("*_%1.ts").arg(runLanguage())}, QDir::Files);
        while (files.hasNext()) {
            QFile file(files.next());
            EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
            QXmlStreamReader xml(&file);
            while (xml.readNextStartElement() || !xml.atEnd()) {
                if (xml.isStartElement() && xml.name() == QLatin1String("translation"))
                    for (const QString& word : wordsOf(shown(xml.readElementText())))
                        all.insert(word);
            }
        }
        EXPECT_GT(all.size(), 100u) << "no catalogue for " << runLanguage().toStdString();
        return all;
    }();
    return words;
}

// `text` without what the tests typed or the directory holds: the same in
// every language.
QString withoutValues(QString text)
{
    // Longest first: "Blau KG" is in "Letter to Blau KG".
    static const QStringList values{"Letter to Blau KG",
                                    "Yarrow Trading Company",
                                    "Anna Berg",
                                    "Bert Blau",
                                    "Berta Blau",
                                    "Blau KG",
                                    "Offer 16",
                                    "Offer 17",
                                    "Standard",
                                    "Urgent",
                                    "KORVA Fax",
                                    "Anna",
                                    "Berg"};
    for (const QString& value : values)
        text.remove(value);
    return text;
}

// The texts a person reads in `window`.
QStringList readableTexts(QWidget& window)
{
    QStringList texts{window.windowTitle()};
    auto visible = [&](QWidget* widget) { return widget->isVisibleTo(&window); };
    for (QLabel* label : window.findChildren<QLabel*>())
        if (visible(label))
            texts << (Qt::mightBeRichText(label->text()) ? QTextDocumentFragment::fromHtml(label->text()).toPlainText()
                                                         : label->text());
    std::set<QAbstractButton*> qtOwn;  // standard buttons: Qt's catalogue names them
    for (QDialogButtonBox* box : window.findChildren<QDialogButtonBox*>())
        for (QAbstractButton* button : box->buttons())
            if (box->standardButton(button) != QDialogButtonBox::NoButton)
                qtOwn.insert(button);
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>())
        if (visible(button) && !qtOwn.count(button))
            texts << button->text() << button->toolTip();
    for (QGroupBox* box : window.findChildren<QGroupBox*>())
        if (visible(box))
            texts << box->title();
    for (QTabBar* bar : window.findChildren<QTabBar*>())
        for (int tab = 0; tab < bar->count(); ++tab)
            texts << bar->tabText(tab);
    for (QAbstractItemView* view : window.findChildren<QAbstractItemView*>()) {
        const QAbstractItemModel* model = view->model();
        if (!visible(view) || !model)
            continue;
        for (int column = 0; column < model->columnCount(); ++column) {
            texts << model->headerData(column, Qt::Horizontal).toString();
            for (int row = 0; row < std::min(model->rowCount(), 20); ++row)
                texts << model->index(row, column).data().toString();
        }
    }
    return texts;
}

// Texts in `window` that the run's language did not replace.
std::string englishLeft(QWidget& window)
{
    if (runLanguage().isEmpty())
        return "";
    std::string left;
    for (const QString& raw : readableTexts(window)) {
        const QString text = shown(raw).trimmed();
        const auto& words = translatedWords();
        const QStringList textWords = wordsOf(withoutValues(text));
        if (std::any_of(textWords.begin(), textWords.end(), [&](const QString& w) { return !words.count(w); }))
            left += "\"" + text.toStdString() + "\"\n";
    }
    return left;
}

class Geometry : public DialogFixture {
protected:
    // Shows the dialog at its default size and lets its layout settle.
    std::string cutTextsShown(QWidget& dialog)
    {
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        QCoreApplication::processEvents();
        if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {  // the scaled run really is scaled
            EXPECT_DOUBLE_EQ(dialog.devicePixelRatioF(), qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
        }
        return cutTexts(dialog) + accessKeyClashes(dialog) + englishLeft(dialog);
    }

    FaxJob job;
    Settings settings;
    app::TifViewer tif;
};

}  // namespace

TEST_F(Geometry, ConfigureDialog)
{
    settings.Server = "mail.example.com";
    settings.RealName = "Anna Berg";
    settings.CoverPages = "Standard\r\nUrgent";
    app::ConfigureDialog dialog(settings, nullptr, [](Settings&) { return true; });
    EXPECT_EQ(cutTextsShown(dialog), "");
}

TEST_F(Geometry, SendFaxDialogWithADocumentAndARecipient)
{
    job.subject = "Offer 17";
    job.recipients = {"0301 555~Berta Blau~Blau KG"};
    FaxDocument letter;
    letter.name = "Letter to Blau KG";
    letter.pages = 2;
    job.documents = {letter};
    settings.Server = "mail.example.com";
    settings.CoverPages = "Standard\r\nUrgent";
    tif.tifOpenAvailable = true;
    app::SendFaxDialog dialog(job, settings, tif, app::SendFaxServices{});
    dialog.initDialog();
    EXPECT_EQ(cutTextsShown(dialog), "");
}

TEST_F(Geometry, FaxAddressBook)
{
    serve(kDirectory);
    auto book = openBook();
    ASSERT_EQ(book->rows()->rowCount(), 2);
    EXPECT_EQ(cutTextsShown(*book), "");
}

TEST_F(Geometry, AddressBookEntryInViewAndEditMode)
{
    serve(kDirectory);
    auto book = openBook();
    for (bool edit : {false, true}) {
        SCOPED_TRACE(edit ? "edit mode" : "view mode");
        AddressEntryDialog entry(book.get(), kAnnaDn);
        QCoreApplication::processEvents();
        if (edit)
            control(entry, IDC_EDIT_ENTRY)->click();
        ASSERT_EQ(entry.editMode(), edit);
        EXPECT_EQ(cutTextsShown(entry), "");
    }
}

TEST_F(Geometry, ProgressDialog)
{
    app::ProgressDialog dialog(nullptr);
    EXPECT_EQ(cutTextsShown(dialog), "");
}

TEST_F(Geometry, OutboxWindowWithBothTabs)
{
    std::filesystem::create_directories(home.spool());
    const std::string file = home.spool() + "/korvafax1.tif";
    korva::testing::writeWholeFile(file, "fax");
    job.subject = "Offer 17";
    job.recipients = {"0301 555~Berta Blau~Blau KG"};
    job.documents = {FaxDocument{"Letter to Blau KG", file.c_str(), 2}};
    ASSERT_TRUE(Outbox(home.spool()).add(job, OutboxState::Refused, "the log-on was refused", 1765137455));
    app::OutboxKeeper keeper(home.spool(), [](FaxJob&) { return SubmitResult{}; });
    ASSERT_TRUE(keeper.journal().append(SentRecord{1765137455, SentHow::FromOutbox, 2, "Offer 16", {"Berta Blau"}}));
    app::OutboxWindow window(keeper, {});
    for (int tab : {0, 1}) {
        SCOPED_TRACE(tab);
        window.findChild<QTabWidget*>()->setCurrentIndex(tab);
        EXPECT_EQ(cutTextsShown(window), "");
    }
}

// The check itself: squeezed controls are named with their texts.
TEST_F(Geometry, SqueezedTextsAreReported)
{
    QDialog dialog;
    auto* label = new QLabel(QStringLiteral("A label far wider than ten pixels"), &dialog);
    label->setObjectName(QStringLiteral("label"));
    auto* button = new QPushButton(QStringLiteral("&A button far wider than ten pixels"), &dialog);
    auto* check = new QCheckBox(QStringLiteral("A check box"), &dialog);
    auto* box = new QGroupBox(QStringLiteral("A group box title"), &dialog);
    auto* list = new QTreeView(&dialog);
    auto* model = new QStandardItemModel(0, 2, &dialog);
    model->setHorizontalHeaderLabels({QStringLiteral("Caption"), QStringLiteral("Other")});
    list->setModel(model);
    for (QWidget* squeezed : std::initializer_list<QWidget*>{label, button, check, box})
        squeezed->setGeometry(0, 0, 10, 30);
    list->setGeometry(0, 40, 200, 100);
    list->header()->resizeSection(0, 10);
    std::string cuts = cutTextsShown(dialog);
    for (const char* expected : {"QLabel 'label' \"A label far wider than ten pixels\"",
                                 "QPushButton '' \"&A button far wider than ten pixels\"",
                                 "QCheckBox '' \"A check box\"", "QGroupBox '' \"A group box title\"", "\"Caption\""})
        EXPECT_NE(cuts.find(expected), std::string::npos) << expected << " in\n" << cuts;
}
