#pragma once

#include "output/report/reportpages.h"

#include <QWidget>

// Shows one generated page at a zoom, on a grey desk, optionally with inch rulers along its
// top and left edges; tells about left and right clicks.
class TPreviewPageView : public QWidget {
    Q_OBJECT
public:
    explicit TPreviewPageView(QWidget *parent = nullptr);

    // page may be nullptr (no pages). Width and height in inches.
    void SetPage(const TReportPage *page, double widthInches, double heightInches);
    void SetZoom(int percent);
    void SetRulers(bool on);
    bool Rulers() const { return m_rulers; }
    // Device pixels per inch at the current zoom.
    double DotsPerInch() const;
    QSize sizeHint() const override;

signals:
    void leftClicked();
    void rightClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QRect pageRect() const;
    void paintRulers(class QPainter &painter, const QRect &page) const;

    const TReportPage *m_page = nullptr;
    double m_width = 8.27, m_height = 11.69;
    int m_zoom = 100;
    bool m_rulers = false;
};
