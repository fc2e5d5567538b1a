BeginJob page_width=9 page_height=9 pens=1
RasterBegin x=1 y=1 width_mm=2 height_mm=1 columns=9 rows=2 depth=4 palette=#000000,#FFFFFF,#123456
RasterRow hex=0123456789
RasterRow p0=9 p1=4 hex=98_76_54_32_10
RasterEnd
EndJob
