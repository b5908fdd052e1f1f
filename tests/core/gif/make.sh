#!/usr/bin/env bash
# Writes the GIF decoder's reference images with ImageMagick, an encoder
# independent of the decoder, and beside each frame its pixels as ImageMagick
# reads them back (RGBA, transparent pixels with alpha 0) and its facts
# (page size, frame size and offset, delay, disposal), and the composed
# pictures of the disposal animation. Run it again only to
# change the images; the test reads the files it wrote.
set -euo pipefail
cd "$(dirname "$0")"
rm -f -- *.gif *.rgba *.txt
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Four frames on a 24 x 18 screen: a full first frame, then smaller ones at
# offsets with each disposal method, one with a transparent colour.
convert -size 24x18 xc:'#3366cc' -fill '#ffcc00' -draw 'rectangle 3,3 10,12' "$tmp/f0.png"
convert -size 10x8 xc:'#cc2222' -fill '#22cc22' -draw 'rectangle 2,2 6,5' "$tmp/f1.png"
convert -size 12x6 xc:none -fill '#ffffff' -draw 'rectangle 1,1 9,4' "$tmp/f2.png"
convert -size 8x8 xc:'#884400' "$tmp/f3.png"
convert -loop 0 \
  -dispose None -delay 0 -page 24x18+0+0 "$tmp/f0.png" \
  -dispose Background -delay 2 -page 24x18+5+4 "$tmp/f1.png" \
  -dispose Previous -delay 500 -page 24x18+9+10 "$tmp/f2.png" \
  -dispose None -delay 7 -page 24x18+16+1 "$tmp/f3.png" \
  disposal.gif
# The same pictures interlaced, the later frames with colour tables of their
# own (a global table would not hold the new colours of the last two).
convert -size 12x6 xc:none -fill '#10e0f0' -draw 'rectangle 1,1 9,4' "$tmp/g2.png"
convert -size 8x8 xc:'#a0f020' -fill '#f020a0' -draw 'rectangle 2,2 5,5' "$tmp/g3.png"
convert -loop 0 -interlace GIF \
  -dispose None -delay 0 -page 24x18+0+0 "$tmp/f0.png" \
  -dispose Background -delay 2 -page 24x18+5+4 "$tmp/f1.png" \
  -dispose Previous -delay 500 -page 24x18+9+10 "$tmp/g2.png" \
  -dispose None -delay 7 -page 24x18+16+1 "$tmp/g3.png" \
  interlaced-local.gif
# A gradient with many colours: long LZW strings and a growing code size.
convert -size 64x40 gradient:'#102030-#f0e0d0' -colors 200 -interlace none gradient.gif

for gif in *.gif; do
  base=${gif%.gif}
  identify -format '%W %H %w %h %X %Y %T %D\n' "$gif" >"$base.txt"
  frames=$(wc -l <"$base.txt")
  for ((i = 0; i < frames; i++)); do
    convert "$gif[$i]" -depth 8 "rgba:$base.$i.rgba"
  done
done

# The animation as it shows, each frame composed over the ones before it.
convert disposal.gif -coalesce +adjoin -depth 8 rgba:disposal.shown.%d.rgba
