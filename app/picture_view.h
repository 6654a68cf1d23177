#pragma once
// A picture control that shows its picture fitted into the control, centred, keeping
// its proportions, scaled up or down; a null picture draws nothing.

#include <QImage>
#include <QWidget>

class PictureView : public QWidget {
    Q_OBJECT
public:
    explicit PictureView(QWidget* parent = nullptr);
    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
};
