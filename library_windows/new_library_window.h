#pragma once
// The new-library window ("Create New Image Lib"): name, folder and tile size of a new
// tile library; "OK" creates it in an empty or new folder and opens the tile library
// editor on it.

#include <QLocale>
#include <QString>
#include <QWidget>

class AppContext;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QSpinBox;

class TFnewImglib : public QWidget {
    Q_OBJECT
public:
    explicit TFnewImglib(AppContext& app);

    // The folder field becomes the user library folder joined with the name and the
    // current date and time (Y-M-D-h-m-s without leading zeros). Runs on every key
    // release in the name field.
    void SuggestFolder();
    // The printed cell size of the width, height and PPI boxes.
    void UpdateSizeText();
    // "OK": checks the fields and the folder, creates the library in mbrowselib, opens
    // the editor on it, refreshes the library lists and hides this window.
    void CreateLibrary();

    // What the new-project window's "New Photo Lib" does: the name field set to `name`, a
    // folder suggested, the size text updated, this window shown and the library browser
    // hidden.
    void ShowForNewLibrary(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AppContext& m_app;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_folder = nullptr;
    QSpinBox* m_width = nullptr;
    QSpinBox* m_height = nullptr;
    QDoubleSpinBox* m_ppi = nullptr;
    QLabel* m_sizeText = nullptr;
};

// "Printed Cell Size :" + W / D and H / D as "%2.2f x %2.2f Inch" + W / D * 25.4 and
// H / D * 25.4 as "  or  %2.2f x %2.2f mm". A PPI of 0 or less has no printed size; the
// text then says that the PPI must be more than 0.
QString PrintedCellSizeText(int width, int height, double ppi, const QLocale& locale = QLocale());
