#!/bin/sh
# Writes the BMP files of this folder with ImageMagick's convert (Debian package imagemagick),
# the way pictures from other programs reach the tool. Each palette file comes with convert's
# own reading of it as a PPM; the direct-colour files are checked against source.ppm.
#   sh tests/data/image/magick/make_magick_fixtures.sh
set -eu
cd "$(dirname "$0")"

# 37 × 23 (odd width, so 24-bit rows carry padding) and an even 38 × 24 picture: red grows
# to the right, green downwards, blue in a diagonal pattern.
pattern() {
  convert -size "$1" xc:black -colorspace sRGB -channel R -fx 'i/(w-1)' -channel G \
    -fx 'j/(h-1)' -channel B -fx '((i+2*j)%9)/8' +channel -depth 8 "$2"
}
pattern 37x23 source.ppm
pattern 38x24 even.ppm

convert source.ppm BMP3:bgr24.bmp
convert source.ppm -type TrueColor BMP:v5_bgr24.bmp
convert source.ppm -alpha set -channel A -evaluate set 50% +channel -define bmp3:alpha=true \
  BMP3:bgra32.bmp
convert source.ppm -alpha set BMP:v5_bitfields32.bmp
convert source.ppm -define bmp:subtype=RGB565 BMP:v5_rgb565.bmp
convert source.ppm -define bmp:subtype=RGB555 BMP:v5_rgb555.bmp
convert source.ppm -alpha set -define bmp:subtype=ARGB4444 BMP:v5_argb4444.bmp
convert source.ppm -dither None -colors 200 -type Palette -compress None BMP3:indexed8.bmp
convert source.ppm -dither None -colors 16 -type Palette -compress None BMP3:indexed4.bmp
convert source.ppm -dither None -type Bilevel BMP3:indexed1.bmp
for f in indexed8 indexed4 indexed1; do
  convert "$f.bmp" -depth 8 "$f.ppm"
done

convert even.ppm BMP3:even_bgr24.bmp
convert even.ppm -define bmp:subtype=RGB565 BMP:even_rgb565.bmp
