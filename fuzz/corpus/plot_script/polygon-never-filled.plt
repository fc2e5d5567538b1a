BeginJob page_width=100 page_height=100 pens=2
PolygonBegin x=0 y=0
Plot x=9 y=9
EndJob
