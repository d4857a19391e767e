#pragma once

// The module's small images (image list imlBotones), at their fixed indexes.

#include <QIcon>
#include <QList>

namespace quill {

enum ImagenBoton : int {
    ImgSalir = 0,
    ImgImprimir = 1,
    ImgListado = 2,
    ImgExportar = 3,
    ImgEtiqueta = 4,
    ImgConteo = 5,
    ImgCorreo = 6,
    ImgFicheroSMS = 8,
    ImgSMS = 16,
};

// Every index up to ImgSMS; indexes without a picture hold an empty icon.
QList<QIcon> imagenesBotones();

} // namespace quill
