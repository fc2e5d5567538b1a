BeginJob page_width=100 page_height=100 pens=2
PolygonFill
EndJob
