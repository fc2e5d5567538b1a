BeginJob page_width=9 page_height=9 pens=1
Image file=a.png x=0 y=0 depth=1
Image file=b.png x=0 y=0 depth=2 width_mm=3
Image file=c.png x=0 y=0 depth=4 height_mm=2
Image file=d.png x=0 y=0 depth=8 flags=ExpandPalette
Image file=e.png x=0 y=0 depth=16 flags=0
Image file=f.png x=0 y=0 depth=32
Image file=missing.png x=0 y=0
EndJob
