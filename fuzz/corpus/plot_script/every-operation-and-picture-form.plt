# drvhost demo: every plot operation, and pictures in each raster form.
# Plotter units are 0.025 mm; the page is A4 landscape. The PCI plotter
# draws the vectors and labels; it has no polygon fill and no raster.
BeginJob page_width=11880 page_height=8400 pens=3 bias=0x20 radix=32 sync_count=2 sync='!' terminator='\r' checksum=1
PenColor pen=1 red=0x1B1B green=0x2A2A blue=0x4949
PenColor pen=2 red=0xE0E0 green=0x3030 blue=0x3030
PenColor pen=3 red=0x2020 green=0x9090 blue=0x5050
PenWidth pen=1 width=0.35
PenWidth pen=2 width=0.5
PenWidth pen=3 width=0.25
Velocity pen=1 on=1 speed=400 p5=1 p6=0.5

# the page frame
SelectPen pen=1
PenUp
Plot x=400 y=400
PenDown
Plot x=11480 y=400
Plot x=11480 y=8000
Plot x=400 y=8000
Plot x=400 y=400
PenUp

# a circle with a quarter arc around it
SelectPen pen=2
Circle cx=2400 cy=5800 r=1200 chord=5
Arc cx=2400 cy=5800 sx=4000 sy=5800 ex=2400 ey=7400 sweep=90 chord=5

# a filled star with a square hole
SelectPen pen=3
FillType level=40
PolygonBegin x=5600 y=5000
Plot x=6200 y=7200
Plot x=6800 y=5000
Plot x=5000 y=6400
Plot x=7400 y=6400
PolygonNext x=6000 y=5800
Plot x=6400 y=5800
Plot x=6400 y=6200
Plot x=6000 y=6200
PolygonFill

# labels: a title, and a slanted line up the right edge
Font typeface_on=1 symbol_set_on=1 typeface=4148 symbol_set=277
SelectPen pen=1
TextStyle height_units=240 width_units=160 height_mm=6 width_mm=4.5 dir_x=1 dir_y=0 slant=0
Label x=8000 y=7200 text="drvhost demo"
TextStyle height_units=160 width_units=120 height_mm=4 width_mm=3 dir_x=0 dir_y=1 slant=0.2
Label x=11200 y=800 text="plotted by drvhost"

# a raster image written out row by row: a 16 x 4 checker
RasterBegin x=8000 y=5600 width_mm=16 height_mm=4 columns=16 rows=4 depth=1 palette=#FFFFFF,#1B2A49
RasterRow hex=F0F0
RasterRow hex=F0F0
RasterRow hex=0F0F
RasterRow hex=0F0F
RasterEnd

# pictures as bit planes, with their palette programmed into the device...
Image file="rings.png" x=800 y=800 width_mm=60 depth=1
Image file="tiles.png" x=3400 y=800 width_mm=40 depth=4
# ...as indexed pixels the driver expands through the palette...
Image file="tiles.png" x=5200 y=800 width_mm=40 depth=8 flags=ExpandPalette
# ...and in direct colour, 5-5-5 and 8-8-8
Image file="sky.png" x=7200 y=800 width_mm=60 depth=16 flags=0
Image file="sky.png" x=7200 y=3200 width_mm=60 depth=32

SelectPen pen=0
EndJob copy_switch=0 copies=1
