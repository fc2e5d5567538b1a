BeginJob page_width=1000 page_height=500 pens=2
SelectPen pen=99
Plot x=1200 y=5
Circle cx=10 cy=10 r=20
EndJob
