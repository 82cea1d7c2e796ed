#include "plot/GraphExport.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

#include "plot/GraphScatter.h"

QImage GraphImage(CGraphScatter& graph)
{
    const qreal pixelRatio = graph.devicePixelRatioF();
    QImage image(graph.size() * pixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    QPainter painter(&image);
    graph.Paint(painter, graph.size());
    return image;
}

QByteArray GraphPng(CGraphScatter& graph)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    GraphImage(graph).save(&buffer, "PNG");
    return bytes;
}

QByteArray GraphSvg(CGraphScatter& graph, const QString& title)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    // At the 96 dots per inch of CSS pixels an SVG viewer shows the graph at its screen size.
    generator.setResolution(96);
    generator.setSize(graph.size());
    generator.setViewBox(QRect(QPoint(0, 0), graph.size()));
    generator.setTitle(title);
    QPainter painter(&generator);
    graph.Paint(painter, graph.size());
    painter.end();
    return bytes;
}
