BeginJob page_width=100 page_height=100 pens=2
RasterBegin x=0 y=0 width_mm=1 height_mm=1 columns=8 rows=4 depth=1
RasterRow hex=00
RasterEnd
EndJob
