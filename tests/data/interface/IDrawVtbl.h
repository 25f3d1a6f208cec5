typedef struct IDrawVtbl {
  PLOTVANE_IDISPATCH_METHODS(IDraw);
  /* [id(0x00000003), propget] Width of the picture in pixels. Default: 400. */
  HRESULT (*get_Width)(IDraw* This, LONG* Value);
  /* [id(0x00000003), propput] Width of the picture in pixels. Default: 400. */
  HRESULT (*put_Width)(IDraw* This, LONG Value);
  /* [id(0x00000004), propget] Height of the picture in pixels. Default: 300. */
  HRESULT (*get_Height)(IDraw* This, LONG* Value);
  /* [id(0x00000004), propput] Height of the picture in pixels. Default: 300. */
  HRESULT (*put_Height)(IDraw* This, LONG Value);
  /* [id(0x00000005), propget] Pie: horizontal position of the centre, in pixels from the left edge. Default: 175. */
  HRESULT (*get_CenterX)(IDraw* This, LONG* Value);
  /* [id(0x00000005), propput] Pie: horizontal position of the centre, in pixels from the left edge. Default: 175. */
  HRESULT (*put_CenterX)(IDraw* This, LONG Value);
  /* [id(0x00000006), propget] Pie: vertical position of the centre, in pixels from the top edge. Default: 150. */
  HRESULT (*get_CenterY)(IDraw* This, LONG* Value);
  /* [id(0x00000006), propput] Pie: vertical position of the centre, in pixels from the top edge. Default: 150. */
  HRESULT (*put_CenterY)(IDraw* This, LONG Value);
  /* [id(0x00000007), propget] Background colour of the whole picture. Default: "FFFFFF". */
  HRESULT (*get_BGColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000007), propput] Background colour of the whole picture. Default: "FFFFFF". */
  HRESULT (*put_BGColor)(IDraw* This, BSTR Value);
  /* [id(0x00000008), propget] Pie: diameter in pixels; drawing makes an even diameter odd by adding 1. Default: 200. */
  HRESULT (*get_PieDia)(IDraw* This, LONG* Value);
  /* [id(0x00000008), propput] Pie: diameter in pixels; drawing makes an even diameter odd by adding 1. Default: 200. */
  HRESULT (*put_PieDia)(IDraw* This, LONG Value);
  /* [id(0x00000009), propget] Writes the item names beside the pie slices and at the bars. Default: True. */
  HRESULT (*get_ShowLabel)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000009), propput] Writes the item names beside the pie slices and at the bars. Default: True. */
  HRESULT (*put_ShowLabel)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000000A), propget] Writes numbers as percentages of the total instead of the values. Default: False. */
  HRESULT (*get_ShowPercent)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000000A), propput] Writes numbers as percentages of the total instead of the values. Default: False. */
  HRESULT (*put_ShowPercent)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000000C), propget] Font face of the labels, bar totals and axis numbers; an empty text is ignored. Default: "Arial". */
  HRESULT (*get_LabelFont)(IDraw* This, BSTR* Value);
  /* [id(0x0000000C), propput] Font face of the labels, bar totals and axis numbers; an empty text is ignored. Default: "Arial". */
  HRESULT (*put_LabelFont)(IDraw* This, BSTR Value);
  /* [id(0x0000000D), propget] Size in points of the labels, bar totals and axis numbers. Default: 8. */
  HRESULT (*get_LabelSize)(IDraw* This, LONG* Value);
  /* [id(0x0000000D), propput] Size in points of the labels, bar totals and axis numbers. Default: 8. */
  HRESULT (*put_LabelSize)(IDraw* This, LONG Value);
  /* [id(0x0000000E), propget] Draws the labels, bar totals and axis numbers bold. Default: False. */
  HRESULT (*get_LabelBold)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000000E), propput] Draws the labels, bar totals and axis numbers bold. Default: False. */
  HRESULT (*put_LabelBold)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000000F), propget] Background colour behind the labels. Default: "FFFFFF". */
  HRESULT (*get_LabelBGColor)(IDraw* This, BSTR* Value);
  /* [id(0x0000000F), propput] Background colour behind the labels. Default: "FFFFFF". */
  HRESULT (*put_LabelBGColor)(IDraw* This, BSTR Value);
  /* [id(0x00000010), propget] Colour of the labels, bar totals and axis numbers. Default: "000000". */
  HRESULT (*get_LabelColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000010), propput] Colour of the labels, bar totals and axis numbers. Default: "000000". */
  HRESULT (*put_LabelColor)(IDraw* This, BSTR Value);
  /* [id(0x00000011), propget] Horizontal position of the legend in pixels; LegendAlign says which of its points lies there. Default: 320. */
  HRESULT (*get_LegendX)(IDraw* This, LONG* Value);
  /* [id(0x00000011), propput] Horizontal position of the legend in pixels; LegendAlign says which of its points lies there. Default: 320. */
  HRESULT (*put_LegendX)(IDraw* This, LONG Value);
  /* [id(0x00000012), propget] Vertical position of the legend in pixels. Default: 10. */
  HRESULT (*get_LegendY)(IDraw* This, LONG* Value);
  /* [id(0x00000012), propput] Vertical position of the legend in pixels. Default: 10. */
  HRESULT (*put_LegendY)(IDraw* This, LONG Value);
  /* [id(0x00000013), propget] Side of a legend's colour swatch in pixels. Default: 8. */
  HRESULT (*get_Square)(IDraw* This, LONG* Value);
  /* [id(0x00000013), propput] Side of a legend's colour swatch in pixels. Default: 8. */
  HRESULT (*put_Square)(IDraw* This, LONG Value);
  /* [id(0x00000014), propget] Spacing inside the legend in pixels. Default: 5. */
  HRESULT (*get_Padding)(IDraw* This, LONG* Value);
  /* [id(0x00000014), propput] Spacing inside the legend in pixels. Default: 5. */
  HRESULT (*put_Padding)(IDraw* This, LONG Value);
  /* [id(0x00000015), propget] Font face of the legend; an empty text is ignored. Default: "Arial". */
  HRESULT (*get_LegendFont)(IDraw* This, BSTR* Value);
  /* [id(0x00000015), propput] Font face of the legend; an empty text is ignored. Default: "Arial". */
  HRESULT (*put_LegendFont)(IDraw* This, BSTR Value);
  /* [id(0x00000016), propget] Size in points of the legend's text. Default: 8. */
  HRESULT (*get_LegendTextSize)(IDraw* This, LONG* Value);
  /* [id(0x00000016), propput] Size in points of the legend's text. Default: 8. */
  HRESULT (*put_LegendTextSize)(IDraw* This, LONG Value);
  /* [id(0x00000017), propget] Background colour of the legend. Default: "FFFFFF". */
  HRESULT (*get_LegendBGColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000017), propput] Background colour of the legend. Default: "FFFFFF". */
  HRESULT (*put_LegendBGColor)(IDraw* This, BSTR Value);
  /* [id(0x00000018), propget] Colour of the legend's text. Default: "000000". */
  HRESULT (*get_LegendColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000018), propput] Colour of the legend's text. Default: "000000". */
  HRESULT (*put_LegendColor)(IDraw* This, BSTR Value);
  /* [id(0x00000019), propget] JPEG quality from 0 to 100; the encoder takes the low 8 bits of the value. Default: 100. */
  HRESULT (*get_JPegQuality)(IDraw* This, LONG* Value);
  /* [id(0x00000019), propput] JPEG quality from 0 to 100; the encoder takes the low 8 bits of the value. Default: 100. */
  HRESULT (*put_JPegQuality)(IDraw* This, LONG Value);
  /* [id(0x0000001A), propget] Horizontal position of the title in pixels; TitleTextAlign says which of its points lies there. Default: 0. */
  HRESULT (*get_TitleX)(IDraw* This, LONG* Value);
  /* [id(0x0000001A), propput] Horizontal position of the title in pixels; TitleTextAlign says which of its points lies there. Default: 0. */
  HRESULT (*put_TitleX)(IDraw* This, LONG Value);
  /* [id(0x0000001B), propget] Vertical position of the title in pixels. Default: 0. */
  HRESULT (*get_TitleY)(IDraw* This, LONG* Value);
  /* [id(0x0000001B), propput] Vertical position of the title in pixels. Default: 0. */
  HRESULT (*put_TitleY)(IDraw* This, LONG Value);
  /* [id(0x0000001C), propget] Font face of the title; an empty text is ignored. Default: "Arial". */
  HRESULT (*get_TitleFont)(IDraw* This, BSTR* Value);
  /* [id(0x0000001C), propput] Font face of the title; an empty text is ignored. Default: "Arial". */
  HRESULT (*put_TitleFont)(IDraw* This, BSTR Value);
  /* [id(0x0000001D), propget] Size in points of the title. Default: 8. */
  HRESULT (*get_TitleSize)(IDraw* This, LONG* Value);
  /* [id(0x0000001D), propput] Size in points of the title. Default: 8. */
  HRESULT (*put_TitleSize)(IDraw* This, LONG Value);
  /* [id(0x0000001E), propget] Draws the title bold. Default: True. */
  HRESULT (*get_TitleBold)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000001E), propput] Draws the title bold. Default: True. */
  HRESULT (*put_TitleBold)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000001F), propget] Background colour behind the title. Default: "FFFFFF". */
  HRESULT (*get_TitleBGColor)(IDraw* This, BSTR* Value);
  /* [id(0x0000001F), propput] Background colour behind the title. Default: "FFFFFF". */
  HRESULT (*put_TitleBGColor)(IDraw* This, BSTR Value);
  /* [id(0x00000020), propget] Colour of the title. Default: "000000". */
  HRESULT (*get_TitleColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000020), propput] Colour of the title. Default: "000000". */
  HRESULT (*put_TitleColor)(IDraw* This, BSTR Value);
  /* [id(0x00000021), propget] Title of the chart; an empty title is not drawn. Default: "". */
  HRESULT (*get_Title)(IDraw* This, BSTR* Value);
  /* [id(0x00000021), propput] Title of the chart; an empty title is not drawn. Default: "". */
  HRESULT (*put_Title)(IDraw* This, BSTR Value);
  /* [id(0x00000022), propget] Number of decimals of the values and axis numbers written on the chart. Default: 0. */
  HRESULT (*get_Decimals)(IDraw* This, LONG* Value);
  /* [id(0x00000022), propput] Number of decimals of the values and axis numbers written on the chart. Default: 0. */
  HRESULT (*put_Decimals)(IDraw* This, LONG Value);
  /* [id(0x00000023)] Adds an item of a pie or bar chart: its name, value and colour ("R" takes the next automatic colour; an unreadable colour is black). */
  HRESULT (*AddData)(IDraw* This, BSTR Name, DOUBLE Value, BSTR Colour);
  /* [id(0x00000024), propget] The name of data item Index, counted from 0; "" beyond the last. */
  HRESULT (*get_ReadName)(IDraw* This, USHORT Index, BSTR* Value);
  /* [id(0x00000025), propget] The value of data item Index, counted from 0, in single precision; 0 beyond the last. */
  HRESULT (*get_ReadValue)(IDraw* This, USHORT Index, FLOAT* Value);
  /* [id(0x00000026), propget] The colour of data item Index, counted from 0; "000000" beyond the last. */
  HRESULT (*get_ReadColor)(IDraw* This, USHORT Index, BSTR* Value);
  /* [id(0x00000027)] Removes the data items, points, stacked values, text items, markers, extra lines and image-map entries; settings stay. */
  HRESULT (*ClearData)(IDraw* This);
  /* [id(0x00000028), propget] Number of data items added with AddData. Default: 0. */
  HRESULT (*get_DataCount)(IDraw* This, LONG* Value);
  /* [id(0x00000029), propget] Colour of the outlines, axes and scale marks. Default: "000000". */
  HRESULT (*get_GraphPen)(IDraw* This, BSTR* Value);
  /* [id(0x00000029), propput] Colour of the outlines, axes and scale marks. Default: "000000". */
  HRESULT (*put_GraphPen)(IDraw* This, BSTR Value);
  /* [id(0x0000002A), propget] The pie chart as JPEG bytes. */
  HRESULT (*get_JPGPie)(IDraw* This, VARIANT* Value);
  /* [id(0x0000002B), propget] Draws the legend. Default: True. */
  HRESULT (*get_ShowLegend)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000002B), propput] Draws the legend. Default: True. */
  HRESULT (*put_ShowLegend)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000002C), propget] Draws a frame around the legend. Default: True. */
  HRESULT (*get_ShowLegendBox)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000002C), propput] Draws a frame around the legend. Default: True. */
  HRESULT (*put_ShowLegendBox)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000002D), propget] The pie chart as GIF bytes. */
  HRESULT (*get_GIFPie)(IDraw* This, VARIANT* Value);
  /* [id(0x0000002E), propget] Horizontal position in pixels of the axes' origin (bar, stacked bar and line charts). Default: 50. */
  HRESULT (*get_OriginX)(IDraw* This, LONG* Value);
  /* [id(0x0000002E), propput] Horizontal position in pixels of the axes' origin (bar, stacked bar and line charts). Default: 50. */
  HRESULT (*put_OriginX)(IDraw* This, LONG Value);
  /* [id(0x0000002F), propget] Vertical position in pixels of the axes' origin. Default: 250. */
  HRESULT (*get_OriginY)(IDraw* This, LONG* Value);
  /* [id(0x0000002F), propput] Vertical position in pixels of the axes' origin. Default: 250. */
  HRESULT (*put_OriginY)(IDraw* This, LONG Value);
  /* [id(0x00000030), propget] Length in pixels of the category (X) axis. Default: 250. */
  HRESULT (*get_MaxX)(IDraw* This, LONG* Value);
  /* [id(0x00000030), propput] Length in pixels of the category (X) axis. Default: 250. */
  HRESULT (*put_MaxX)(IDraw* This, LONG Value);
  /* [id(0x00000031), propget] Length in pixels of the value axis, which lies horizontally in horizontal bar charts. Default: 200. */
  HRESULT (*get_MaxY)(IDraw* This, LONG* Value);
  /* [id(0x00000031), propput] Length in pixels of the value axis, which lies horizontally in horizontal bar charts. Default: 200. */
  HRESULT (*put_MaxY)(IDraw* This, LONG Value);
  /* [id(0x00000032), propget] Width of a bar in pixels; 0 chooses it from the axis. Default: 0. */
  HRESULT (*get_BarWidth)(IDraw* This, LONG* Value);
  /* [id(0x00000032), propput] Width of a bar in pixels; 0 chooses it from the axis. Default: 0. */
  HRESULT (*put_BarWidth)(IDraw* This, LONG Value);
  /* [id(0x00000033), propget] Gap between two bars in pixels; 0 chooses it from the axis. Default: 0. */
  HRESULT (*get_BarGap)(IDraw* This, LONG* Value);
  /* [id(0x00000033), propput] Gap between two bars in pixels; 0 chooses it from the axis. Default: 0. */
  HRESULT (*put_BarGap)(IDraw* This, LONG Value);
  /* [id(0x00000034), propget] Step between the numbered ticks of the value axis; 0 chooses it. Default: 0. */
  HRESULT (*get_YGrad)(IDraw* This, DOUBLE* Value);
  /* [id(0x00000034), propput] Step between the numbered ticks of the value axis; 0 chooses it. Default: 0. */
  HRESULT (*put_YGrad)(IDraw* This, DOUBLE Value);
  /* [id(0x00000035), propget] Top value of the value axis; 0 chooses it from the data. Default: 0. */
  HRESULT (*get_YTop)(IDraw* This, DOUBLE* Value);
  /* [id(0x00000035), propput] Top value of the value axis; 0 chooses it from the data. Default: 0. */
  HRESULT (*put_YTop)(IDraw* This, DOUBLE Value);
  /* [id(0x00000036), propget] The bar chart as GIF bytes, vertical or horizontal by VerticalBars. */
  HRESULT (*get_GIFBar)(IDraw* This, VARIANT* Value);
  /* [id(0x00000037), propget] The bar chart as JPEG bytes, vertical or horizontal by VerticalBars. */
  HRESULT (*get_JPGBar)(IDraw* This, VARIANT* Value);
  /* [id(0x00000038), propget] The bar chart as BMP bytes, vertical or horizontal by VerticalBars. */
  HRESULT (*get_BMPBar)(IDraw* This, VARIANT* Value);
  /* [id(0x00000039), propget] The pie chart as BMP bytes. */
  HRESULT (*get_BMPPie)(IDraw* This, VARIANT* Value);
  /* [id(0x0000003A)] Writes the pie chart as GIF to the file FileName, created or overwritten. */
  HRESULT (*SaveGIFPie)(IDraw* This, BSTR FileName);
  /* [id(0x0000003B)] Writes the pie chart as JPEG to the file FileName, created or overwritten. */
  HRESULT (*SaveJPGPie)(IDraw* This, BSTR FileName);
  /* [id(0x0000003C)] Writes the pie chart as BMP to the file FileName, created or overwritten. */
  HRESULT (*SaveBMPPie)(IDraw* This, BSTR FileName);
  /* [id(0x0000003D)] Writes the bar chart as GIF to the file FileName, created or overwritten. */
  HRESULT (*SaveGIFBar)(IDraw* This, BSTR FileName);
  /* [id(0x0000003E)] Writes the bar chart as JPEG to the file FileName, created or overwritten. */
  HRESULT (*SaveJPGBar)(IDraw* This, BSTR FileName);
  /* [id(0x0000003F)] Writes the bar chart as BMP to the file FileName, created or overwritten. */
  HRESULT (*SaveBMPBar)(IDraw* This, BSTR FileName);
  /* [id(0x00000040), propget] Font face of the axis captions; an empty text is ignored. Default: "Arial". */
  HRESULT (*get_AxisTextFont)(IDraw* This, BSTR* Value);
  /* [id(0x00000040), propput] Font face of the axis captions; an empty text is ignored. Default: "Arial". */
  HRESULT (*put_AxisTextFont)(IDraw* This, BSTR Value);
  /* [id(0x00000041), propget] Size in points of the axis captions. Default: 8. */
  HRESULT (*get_AxisTextSize)(IDraw* This, LONG* Value);
  /* [id(0x00000041), propput] Size in points of the axis captions. Default: 8. */
  HRESULT (*put_AxisTextSize)(IDraw* This, LONG Value);
  /* [id(0x00000042), propget] Background colour behind the axis captions. Default: "FFFFFF". */
  HRESULT (*get_AxisTextBGColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000042), propput] Background colour behind the axis captions. Default: "FFFFFF". */
  HRESULT (*put_AxisTextBGColor)(IDraw* This, BSTR Value);
  /* [id(0x00000043), propget] Colour of the axis captions. Default: "000000". */
  HRESULT (*get_AxisTextColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000043), propput] Colour of the axis captions. Default: "000000". */
  HRESULT (*put_AxisTextColor)(IDraw* This, BSTR Value);
  /* [id(0x00000044), propget] Draws the axis captions bold. Default: False. */
  HRESULT (*get_AxisTextBold)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000044), propput] Draws the axis captions bold. Default: False. */
  HRESULT (*put_AxisTextBold)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000046), propget] Caption of the category (X) axis. Default: "". */
  HRESULT (*get_XAxisText)(IDraw* This, BSTR* Value);
  /* [id(0x00000046), propput] Caption of the category (X) axis. Default: "". */
  HRESULT (*put_XAxisText)(IDraw* This, BSTR Value);
  /* [id(0x00000047), propget] Caption of the value (Y) axis. Default: "". */
  HRESULT (*get_YAxisText)(IDraw* This, BSTR* Value);
  /* [id(0x00000047), propput] Caption of the value (Y) axis. Default: "". */
  HRESULT (*put_YAxisText)(IDraw* This, BSTR Value);
  /* [id(0x00000048), propget] Index from 0 to 210 of the automatic colour that the next item of colour "R" gets; other values are ignored. Default: 0. */
  HRESULT (*get_RNDColor)(IDraw* This, LONG* Value);
  /* [id(0x00000048), propput] Index from 0 to 210 of the automatic colour that the next item of colour "R" gets; other values are ignored. Default: 0. */
  HRESULT (*put_RNDColor)(IDraw* This, LONG Value);
  /* [id(0x00000049), propget] Turns the bar names by 90 degrees, to read upwards. Default: False. */
  HRESULT (*get_LabelVertical)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000049), propput] Turns the bar names by 90 degrees, to read upwards. Default: False. */
  HRESULT (*put_LabelVertical)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000000B), propget] Pie: distance of the slice labels from the rim in pixels. Default: 10. */
  HRESULT (*get_Offset)(IDraw* This, LONG* Value);
  /* [id(0x0000000B), propput] Pie: distance of the slice labels from the rim in pixels. Default: 10. */
  HRESULT (*put_Offset)(IDraw* This, LONG Value);
  /* [id(0x00000045), propget] The component's name, version number and word size. */
  HRESULT (*get_Version)(IDraw* This, BSTR* Value);
  /* [id(0x00000002), propget] Writes the values beside slices and bars and the numbers along the value axes. Default: True. */
  HRESULT (*get_ShowNumbers)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000002), propput] Writes the values beside slices and bars and the numbers along the value axes. Default: True. */
  HRESULT (*put_ShowNumbers)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000001), propget] Draws grid lines at the ticks of the axes. Default: False. */
  HRESULT (*get_ShowGrid)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000001), propput] Draws grid lines at the ticks of the axes. Default: False. */
  HRESULT (*put_ShowGrid)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000004A), propget] Colour of the grid lines. Default: "000000". */
  HRESULT (*get_GridColor)(IDraw* This, BSTR* Value);
  /* [id(0x0000004A), propput] Colour of the grid lines. Default: "000000". */
  HRESULT (*put_GridColor)(IDraw* This, BSTR Value);
  /* [id(0x0000004B), propget] Writes each bar's value at its end. Default: False. */
  HRESULT (*get_ShowBarTotal)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000004B), propput] Writes each bar's value at its end. Default: False. */
  HRESULT (*put_ShowBarTotal)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000004C), propget] Pen style of the grid lines; other values change nothing. Default: gsDot. */
  HRESULT (*get_GridStyle)(IDraw* This, TxGridStyle* Value);
  /* [id(0x0000004C), propput] Pen style of the grid lines; other values change nothing. Default: gsDot. */
  HRESULT (*put_GridStyle)(IDraw* This, TxGridStyle Value);
  /* [id(0x0000004D), propget] Bar and stacked bar pictures have upright bars; False lays them down. Default: True. */
  HRESULT (*get_VerticalBars)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000004D), propput] Bar and stacked bar pictures have upright bars; False lays them down. Default: True. */
  HRESULT (*put_VerticalBars)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000004E), propget] The colour that Transparent makes transparent in GIF and PNG pictures. Default: "FFFFFF". */
  HRESULT (*get_TransColor)(IDraw* This, BSTR* Value);
  /* [id(0x0000004E), propput] The colour that Transparent makes transparent in GIF and PNG pictures. Default: "FFFFFF". */
  HRESULT (*put_TransColor)(IDraw* This, BSTR Value);
  /* [id(0x0000004F), propget] The bar chart as PNG bytes, vertical or horizontal by VerticalBars. */
  HRESULT (*get_PNGBar)(IDraw* This, VARIANT* Value);
  /* [id(0x00000050), propget] The pie chart as PNG bytes. */
  HRESULT (*get_PNGPie)(IDraw* This, VARIANT* Value);
  /* [id(0x00000051)] Writes the bar chart as PNG to the file FileName, created or overwritten. */
  HRESULT (*SavePNGBar)(IDraw* This, BSTR FileName);
  /* [id(0x00000052)] Writes the pie chart as PNG to the file FileName, created or overwritten. */
  HRESULT (*SavePNGPie)(IDraw* This, BSTR FileName);
  /* [id(0x00000053), propget] A bitmap handle of the chart of kind GraphType; the caller owns it and deletes it. */
  HRESULT (*get_BMPHandle)(IDraw* This, TxGraphType GraphType, LONG* Value);
  /* [id(0x00000054), propget] GIF and PNG pictures make TransColor transparent. Default: False. */
  HRESULT (*get_Transparent)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000054), propput] GIF and PNG pictures make TransColor transparent. Default: False. */
  HRESULT (*put_Transparent)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000055), propget] Line graph: top value of the X axis; 0 chooses it from the data. Default: 0. */
  HRESULT (*get_XTop)(IDraw* This, DOUBLE* Value);
  /* [id(0x00000055), propput] Line graph: top value of the X axis; 0 chooses it from the data. Default: 0. */
  HRESULT (*put_XTop)(IDraw* This, DOUBLE Value);
  /* [id(0x00000056), propget] Line graph: step between the numbered ticks of the X axis; 0 chooses it. Default: 0. */
  HRESULT (*get_XGrad)(IDraw* This, DOUBLE* Value);
  /* [id(0x00000056), propput] Line graph: step between the numbered ticks of the X axis; 0 chooses it. Default: 0. */
  HRESULT (*put_XGrad)(IDraw* This, DOUBLE Value);
  /* [id(0x00000057), propget] Writes the numbers along a horizontal value axis turned by 90 degrees. Default: True. */
  HRESULT (*get_XValuesVertical)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000057), propput] Writes the numbers along a horizontal value axis turned by 90 degrees. Default: True. */
  HRESULT (*put_XValuesVertical)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000058), propget] Pen width in pixels of the lines of a line graph. Default: 1. */
  HRESULT (*get_LineWidth)(IDraw* This, LONG* Value);
  /* [id(0x00000058), propput] Pen width in pixels of the lines of a line graph. Default: 1. */
  HRESULT (*put_LineWidth)(IDraw* This, LONG Value);
  /* [id(0x00000059), propget] Glyph drawn at each point of a line; other values draw none. Default: psxNone. */
  HRESULT (*get_PointStyle)(IDraw* This, TxPointStyle* Value);
  /* [id(0x00000059), propput] Glyph drawn at each point of a line; other values draw none. Default: psxNone. */
  HRESULT (*put_PointStyle)(IDraw* This, TxPointStyle Value);
  /* [id(0x0000005A), propget] Size in pixels of the point glyphs. Default: 2. */
  HRESULT (*get_PointSize)(IDraw* This, LONG* Value);
  /* [id(0x0000005A), propput] Size in pixels of the point glyphs. Default: 2. */
  HRESULT (*put_PointSize)(IDraw* This, LONG Value);
  /* [id(0x0000005B)] Writes the line graph as GIF to the file FileName, created or overwritten. */
  HRESULT (*SaveGIFLine)(IDraw* This, BSTR FileName);
  /* [id(0x0000005C)] Writes the line graph as BMP to the file FileName, created or overwritten. */
  HRESULT (*SaveBMPLine)(IDraw* This, BSTR FileName);
  /* [id(0x0000005D)] Writes the line graph as PNG to the file FileName, created or overwritten. */
  HRESULT (*SavePNGLine)(IDraw* This, BSTR FileName);
  /* [id(0x0000005E)] Writes the line graph as JPEG to the file FileName, created or overwritten. */
  HRESULT (*SaveJPGLine)(IDraw* This, BSTR FileName);
  /* [id(0x0000005F), propget] The line graph as GIF bytes. */
  HRESULT (*get_GIFLine)(IDraw* This, VARIANT* Value);
  /* [id(0x00000060), propget] The line graph as BMP bytes. */
  HRESULT (*get_BMPLine)(IDraw* This, VARIANT* Value);
  /* [id(0x00000061), propget] The line graph as JPEG bytes. */
  HRESULT (*get_JPGLine)(IDraw* This, VARIANT* Value);
  /* [id(0x00000062), propget] The line graph as PNG bytes. */
  HRESULT (*get_PNGLine)(IDraw* This, VARIANT* Value);
  /* [id(0x00000063)] Adds the point (X, Y) to the line of colour Color, named LineName in the legend; the points of one colour form one line. */
  HRESULT (*AddPoint)(IDraw* This, DOUBLE X, DOUBLE Y, BSTR Color, BSTR LineName);
  /* [id(0x00000064)] Labels the X-axis number Name with the text Value, shown when UseXAxisLabels is on. */
  HRESULT (*AddXValue)(IDraw* This, DOUBLE Name, BSTR Value);
  /* [id(0x00000065), propget] Writes the labels of AddXValue instead of the X-axis numbers. Default: False. */
  HRESULT (*get_UseXAxisLabels)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000065), propput] Writes the labels of AddXValue instead of the X-axis numbers. Default: False. */
  HRESULT (*put_UseXAxisLabels)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000066), propget] Line graph: the value of the X axis at the origin. Default: 0. */
  HRESULT (*get_XOffset)(IDraw* This, DOUBLE* Value);
  /* [id(0x00000066), propput] Line graph: the value of the X axis at the origin. Default: 0. */
  HRESULT (*put_XOffset)(IDraw* This, DOUBLE Value);
  /* [id(0x00000067), propget] The value of the value axis at the origin. Default: 0. */
  HRESULT (*get_YOffset)(IDraw* This, DOUBLE* Value);
  /* [id(0x00000067), propput] The value of the value axis at the origin. Default: 0. */
  HRESULT (*put_YOffset)(IDraw* This, DOUBLE Value);
  /* [id(0x00000068), propget] Writes the labels of AddYValue instead of the value-axis numbers. Default: False. */
  HRESULT (*get_UseYAxisLabels)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000068), propput] Writes the labels of AddYValue instead of the value-axis numbers. Default: False. */
  HRESULT (*put_UseYAxisLabels)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000069)] Labels the value-axis number Name with the text Value, shown when UseYAxisLabels is on. */
  HRESULT (*AddYValue)(IDraw* This, DOUBLE Name, BSTR Value);
  /* [id(0x0000006A), propget] Length in pixels of the tick marks of the X axis. Default: 4. */
  HRESULT (*get_XMarkSize)(IDraw* This, LONG* Value);
  /* [id(0x0000006A), propput] Length in pixels of the tick marks of the X axis. Default: 4. */
  HRESULT (*put_XMarkSize)(IDraw* This, LONG Value);
  /* [id(0x0000006B), propget] Length in pixels of the tick marks of the value axis. Default: 4. */
  HRESULT (*get_YMarkSize)(IDraw* This, LONG* Value);
  /* [id(0x0000006B), propput] Length in pixels of the tick marks of the value axis. Default: 4. */
  HRESULT (*put_YMarkSize)(IDraw* This, LONG Value);
  /* [id(0x0000006C), propget] Pixels of the X axis on the negative side of the origin. Default: 0. */
  HRESULT (*get_XAxisNegative)(IDraw* This, LONG* Value);
  /* [id(0x0000006C), propput] Pixels of the X axis on the negative side of the origin. Default: 0. */
  HRESULT (*put_XAxisNegative)(IDraw* This, LONG Value);
  /* [id(0x0000006D), propget] Pixels of the value axis on the negative side of the origin, for negative values. Default: 0. */
  HRESULT (*get_YAxisNegative)(IDraw* This, LONG* Value);
  /* [id(0x0000006D), propput] Pixels of the value axis on the negative side of the origin, for negative values. Default: 0. */
  HRESULT (*put_YAxisNegative)(IDraw* This, LONG Value);
  /* [id(0x0000006E), propget] Text written before every value and axis number, such as a currency sign. Default: "". */
  HRESULT (*get_Prefix)(IDraw* This, BSTR* Value);
  /* [id(0x0000006E), propput] Text written before every value and axis number, such as a currency sign. Default: "". */
  HRESULT (*put_Prefix)(IDraw* This, BSTR Value);
  /* [id(0x0000006F), propget] Text written after every value and axis number, such as a unit. Default: "". */
  HRESULT (*get_Suffix)(IDraw* This, BSTR* Value);
  /* [id(0x0000006F), propput] Text written after every value and axis number, such as a unit. Default: "". */
  HRESULT (*put_Suffix)(IDraw* This, BSTR Value);
  /* [id(0x00000070), propget] Writes thousands separators in every number. Default: False. */
  HRESULT (*get_ShowSeparator)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000070), propput] Writes thousands separators in every number. Default: False. */
  HRESULT (*put_ShowSeparator)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000071), propget] Fill colour of the plot area of bar, stacked bar and line charts. Default: "FFFFFF". */
  HRESULT (*get_PlotAreaColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000071), propput] Fill colour of the plot area of bar, stacked bar and line charts. Default: "FFFFFF". */
  HRESULT (*put_PlotAreaColor)(IDraw* This, BSTR Value);
  /* [id(0x00000072)] Adds a text in the Text font, its top-left corner at the pixel (X, Y), turned Angle degrees counter-clockwise. */
  HRESULT (*AddText)(IDraw* This, BSTR Value, LONG X, LONG Y, FLOAT Angle);
  /* [id(0x00000073), propget] Line graph: joins the points of each line. Default: True. */
  HRESULT (*get_ShowLine)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000073), propput] Line graph: joins the points of each line. Default: True. */
  HRESULT (*put_ShowLine)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000074)] Adds the image-map entry of the next data item: its link (may be empty), its title and extra attribute text. */
  HRESULT (*AddMapArea)(IDraw* This, BSTR URL, BSTR HelpText, BSTR ExtraHTML);
  /* [id(0x00000075), propget] Text put into the image map just before its closing tag. Default: "". */
  HRESULT (*get_ImageMapExtra)(IDraw* This, BSTR* Value);
  /* [id(0x00000075), propput] Text put into the image map just before its closing tag. Default: "". */
  HRESULT (*put_ImageMapExtra)(IDraw* This, BSTR Value);
  /* [id(0x00000076)] Names the image map ("map1" before any call) and chooses whether data shapes, labels and legend entries get areas (all True before). */
  HRESULT (*SetImageMapParams)(IDraw* This, BSTR MapName, VARIANT_BOOL DataArea, VARIANT_BOOL MapLabel, VARIANT_BOOL Legend);
  /* [id(0x00000077), propget] The HTML image map of the last picture drawn; empty until AddMapArea is called. Default: "". */
  HRESULT (*get_ImageMapText)(IDraw* This, BSTR* Value);
  /* [id(0x00000078), propget] Font face of the text items of a line graph; an empty text is ignored. Default: "Arial". */
  HRESULT (*get_LineGraphTextFont)(IDraw* This, BSTR* Value);
  /* [id(0x00000078), propput] Font face of the text items of a line graph; an empty text is ignored. Default: "Arial". */
  HRESULT (*put_LineGraphTextFont)(IDraw* This, BSTR Value);
  /* [id(0x00000079), propget] Background colour of the text items of a line graph; an unreadable colour is white. Default: "FFFFFF". */
  HRESULT (*get_LineGraphTextBGColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000079), propput] Background colour of the text items of a line graph; an unreadable colour is white. Default: "FFFFFF". */
  HRESULT (*put_LineGraphTextBGColor)(IDraw* This, BSTR Value);
  /* [id(0x0000007A), propget] Colour of the text items of a line graph; an unreadable colour is black. Default: "000000". */
  HRESULT (*get_LineGraphTextColor)(IDraw* This, BSTR* Value);
  /* [id(0x0000007A), propput] Colour of the text items of a line graph; an unreadable colour is black. Default: "000000". */
  HRESULT (*put_LineGraphTextColor)(IDraw* This, BSTR Value);
  /* [id(0x0000007B), propget] Size in points of the text items of a line graph. Default: 8. */
  HRESULT (*get_LineGraphTextSize)(IDraw* This, LONG* Value);
  /* [id(0x0000007B), propput] Size in points of the text items of a line graph. Default: 8. */
  HRESULT (*put_LineGraphTextSize)(IDraw* This, LONG Value);
  /* [id(0x0000007C), propget] Draws the text items of a line graph bold. Default: False. */
  HRESULT (*get_LineGraphTextBold)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000007C), propput] Draws the text items of a line graph bold. Default: False. */
  HRESULT (*put_LineGraphTextBold)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000007D), propget] Which point of a line graph's text item lies at its position; other values are taTopLeft. Default: taTopLeft. */
  HRESULT (*get_LineGraphTextAlign)(IDraw* This, TxTextAlign* Value);
  /* [id(0x0000007D), propput] Which point of a line graph's text item lies at its position; other values are taTopLeft. Default: taTopLeft. */
  HRESULT (*put_LineGraphTextAlign)(IDraw* This, TxTextAlign Value);
  /* [id(0x0000007E), propget] Horizontal distance in pixels of a line graph's text items from their points. Default: 0. */
  HRESULT (*get_LineGraphTextX)(IDraw* This, LONG* Value);
  /* [id(0x0000007E), propput] Horizontal distance in pixels of a line graph's text items from their points. Default: 0. */
  HRESULT (*put_LineGraphTextX)(IDraw* This, LONG Value);
  /* [id(0x0000007F), propget] Vertical distance in pixels of a line graph's text items from their points. Default: 0. */
  HRESULT (*get_LineGraphTextY)(IDraw* This, LONG* Value);
  /* [id(0x0000007F), propput] Vertical distance in pixels of a line graph's text items from their points. Default: 0. */
  HRESULT (*put_LineGraphTextY)(IDraw* This, LONG Value);
  /* [id(0x00000080), propget] Frames the text items of a line graph that are turned by 0 or 90 degrees. Default: False. */
  HRESULT (*get_LineGraphTextBorder)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000080), propput] Frames the text items of a line graph that are turned by 0 or 90 degrees. Default: False. */
  HRESULT (*put_LineGraphTextBorder)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000081), propget] Draws a line from each text item's point to its text. Default: False. */
  HRESULT (*get_LineGraphTextLeader)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000081), propput] Draws a line from each text item's point to its text. Default: False. */
  HRESULT (*put_LineGraphTextLeader)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000082), propget] Colour of the frames of a line graph's text items; an unreadable colour is black. Default: "000000". */
  HRESULT (*get_LineGraphBorderColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000082), propput] Colour of the frames of a line graph's text items; an unreadable colour is black. Default: "000000". */
  HRESULT (*put_LineGraphBorderColor)(IDraw* This, BSTR Value);
  /* [id(0x00000083), propget] Colour of the lines to a line graph's text items; an unreadable colour is black. Default: "000000". */
  HRESULT (*get_LineGraphLeaderColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000083), propput] Colour of the lines to a line graph's text items; an unreadable colour is black. Default: "000000". */
  HRESULT (*put_LineGraphLeaderColor)(IDraw* This, BSTR Value);
  /* [id(0x00000084)] Adds a text item of the line graph at (X, Y) in the units of its axes, turned Angle degrees counter-clockwise. */
  HRESULT (*AddLineGraphText)(IDraw* This, BSTR Text, DOUBLE X, DOUBLE Y, FLOAT Angle);
  /* [id(0x00000085), propget] Draws a frame around the plot area. Default: False. */
  HRESULT (*get_ShowPlotBorder)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000085), propput] Draws a frame around the plot area. Default: False. */
  HRESULT (*put_ShowPlotBorder)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000086), propget] Which point of the title lies at (TitleX, TitleY); other values are taTopLeft. Default: taTopLeft. */
  HRESULT (*get_TitleTextAlign)(IDraw* This, TxTextAlign* Value);
  /* [id(0x00000086), propput] Which point of the title lies at (TitleX, TitleY); other values are taTopLeft. Default: taTopLeft. */
  HRESULT (*put_TitleTextAlign)(IDraw* This, TxTextAlign Value);
  /* [id(0x00000087), propget] Leaves out the vertical grid lines. Default: False. */
  HRESULT (*get_HideVGrid)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000087), propput] Leaves out the vertical grid lines. Default: False. */
  HRESULT (*put_HideVGrid)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000088), propget] Leaves out the horizontal grid lines. Default: False. */
  HRESULT (*get_HideHGrid)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000088), propput] Leaves out the horizontal grid lines. Default: False. */
  HRESULT (*put_HideHGrid)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000089)] The RRGGBB text of the colour number Color, 0x00BBGGRR; its high byte is dropped. */
  HRESULT (*OLEColorToStr)(IDraw* This, OLE_COLOR Color, BSTR* Value);
  /* [id(0x0000008A), propget] Writes the X-axis numbers as dates and times (days since 30 December 1899). Default: False. */
  HRESULT (*get_UseXAxisDates)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000008A), propput] Writes the X-axis numbers as dates and times (days since 30 December 1899). Default: False. */
  HRESULT (*put_UseXAxisDates)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000008B), propget] Writes the value-axis numbers as dates and times (days since 30 December 1899). Default: False. */
  HRESULT (*get_UseYAxisDates)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000008B), propput] Writes the value-axis numbers as dates and times (days since 30 December 1899). Default: False. */
  HRESULT (*put_UseYAxisDates)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000008C), propget] What axis dates show: 0 date and time, 1 the date, 2 the time; other values are 0. Default: 0. */
  HRESULT (*get_DateTimeFormat)(IDraw* This, LONG* Value);
  /* [id(0x0000008C), propput] What axis dates show: 0 date and time, 1 the date, 2 the time; other values are 0. Default: 0. */
  HRESULT (*put_DateTimeFormat)(IDraw* This, LONG Value);
  /* [id(0x0000008D), propget] Kept and read back; no picture depends on it. Default: True. */
  HRESULT (*get_UseLZW)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000008D), propput] Kept and read back; no picture depends on it. Default: True. */
  HRESULT (*put_UseLZW)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000008E), propget] Writes each stacked value on its segment. Default: False. */
  HRESULT (*get_ShowStackedValue)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000008E), propput] Writes each stacked value on its segment. Default: False. */
  HRESULT (*put_ShowStackedValue)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000008F), propget] Font face of the stacked values; an empty text is ignored. Default: "Arial". */
  HRESULT (*get_StackedTextFont)(IDraw* This, BSTR* Value);
  /* [id(0x0000008F), propput] Font face of the stacked values; an empty text is ignored. Default: "Arial". */
  HRESULT (*put_StackedTextFont)(IDraw* This, BSTR Value);
  /* [id(0x00000090), propget] Size in points of the stacked values. Default: 8. */
  HRESULT (*get_StackedTextSize)(IDraw* This, LONG* Value);
  /* [id(0x00000090), propput] Size in points of the stacked values. Default: 8. */
  HRESULT (*put_StackedTextSize)(IDraw* This, LONG Value);
  /* [id(0x00000091), propget] Background colour behind the stacked values. Default: "FFFFFF". */
  HRESULT (*get_StackedTextBGColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000091), propput] Background colour behind the stacked values. Default: "FFFFFF". */
  HRESULT (*put_StackedTextBGColor)(IDraw* This, BSTR Value);
  /* [id(0x00000092), propget] Colour of the stacked values. Default: "000000". */
  HRESULT (*get_StackedTextColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000092), propput] Colour of the stacked values. Default: "000000". */
  HRESULT (*put_StackedTextColor)(IDraw* This, BSTR Value);
  /* [id(0x00000093), propget] Writes the stacked values without a background. Default: True. */
  HRESULT (*get_StackedTextTransparent)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000093), propput] Writes the stacked values without a background. Default: True. */
  HRESULT (*put_StackedTextTransparent)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000094), propget] Where and which way the stacked values are written; other values change nothing. Default: stCentreH. */
  HRESULT (*get_StackedTextAlign)(IDraw* This, TxStackedTextAlign* Value);
  /* [id(0x00000094), propput] Where and which way the stacked values are written; other values change nothing. Default: stCentreH. */
  HRESULT (*put_StackedTextAlign)(IDraw* This, TxStackedTextAlign Value);
  /* [id(0x00000095)] Adds a segment of a stacked bar: its group (one bar per group), name, value (kept as its absolute value) and colour. */
  HRESULT (*AddGroupedData)(IDraw* This, BSTR Group, BSTR Name, DOUBLE Value, BSTR Color);
  /* [id(0x00000096), propget] The stacked bar chart as GIF bytes, vertical or horizontal by VerticalBars. */
  HRESULT (*get_GIFStackedBar)(IDraw* This, VARIANT* Value);
  /* [id(0x00000097), propget] The stacked bar chart as JPEG bytes, vertical or horizontal by VerticalBars. */
  HRESULT (*get_JPGStackedBar)(IDraw* This, VARIANT* Value);
  /* [id(0x00000098), propget] The stacked bar chart as PNG bytes, vertical or horizontal by VerticalBars. */
  HRESULT (*get_PNGStackedBar)(IDraw* This, VARIANT* Value);
  /* [id(0x00000099), propget] The stacked bar chart as BMP bytes, vertical or horizontal by VerticalBars. */
  HRESULT (*get_BMPStackedBar)(IDraw* This, VARIANT* Value);
  /* [id(0x0000009A)] Writes the stacked bar chart as GIF to the file FileName, created or overwritten. */
  HRESULT (*SaveGIFStackedBar)(IDraw* This, BSTR FileName);
  /* [id(0x0000009B)] Writes the stacked bar chart as JPEG to the file FileName, created or overwritten. */
  HRESULT (*SaveJPGStackedBar)(IDraw* This, BSTR FileName);
  /* [id(0x0000009C)] Writes the stacked bar chart as PNG to the file FileName, created or overwritten. */
  HRESULT (*SavePNGStackedBar)(IDraw* This, BSTR FileName);
  /* [id(0x0000009D)] Writes the stacked bar chart as BMP to the file FileName, created or overwritten. */
  HRESULT (*SaveBMPStackedBar)(IDraw* This, BSTR FileName);
  /* [id(0x0000009E), propget] Lists the legend's entries one under the other; False puts them side by side. Default: True. */
  HRESULT (*get_LegendVertical)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000009E), propput] Lists the legend's entries one under the other; False puts them side by side. Default: True. */
  HRESULT (*put_LegendVertical)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000009F), propget] Which point of the legend lies at (LegendX, LegendY); other values are taTopLeft. Default: taTopLeft. */
  HRESULT (*get_LegendAlign)(IDraw* This, TxTextAlign* Value);
  /* [id(0x0000009F), propput] Which point of the legend lies at (LegendX, LegendY); other values are taTopLeft. Default: taTopLeft. */
  HRESULT (*put_LegendAlign)(IDraw* This, TxTextAlign Value);
  /* [id(0x000000A0), propget] A new globally unique identifier at every read: 36 characters, without braces. */
  HRESULT (*get_CreateGUID)(IDraw* This, BSTR* Value);
  /* [id(0x000000A1), propget] Pattern of the dates on the axes, such as "dd/mm/yyyy", which is also what "" gives. Default: "". */
  HRESULT (*get_DateFormatString)(IDraw* This, BSTR* Value);
  /* [id(0x000000A1), propput] Pattern of the dates on the axes, such as "dd/mm/yyyy", which is also what "" gives. Default: "". */
  HRESULT (*put_DateFormatString)(IDraw* This, BSTR Value);
  /* [id(0x000000A2), propget] Pattern of the times on the axes, such as "hh:nn:ss", which is also what "" gives. Default: "". */
  HRESULT (*get_TimeFormatString)(IDraw* This, BSTR* Value);
  /* [id(0x000000A2), propput] Pattern of the times on the axes, such as "hh:nn:ss", which is also what "" gives. Default: "". */
  HRESULT (*put_TimeFormatString)(IDraw* This, BSTR Value);
  /* [id(0x000000A3)] Adds a line from the pixel (X1, Y1) to (X2, Y2), Thickness pixels wide, in PenStyle and Colour, drawn over the chart. */
  HRESULT (*AddExtraLine)(IDraw* This, LONG X1, LONG Y1, LONG X2, LONG Y2, LONG Thickness, TxGridStyle PenStyle, BSTR Colour);
  /* [id(0x000000A4), propget] Writes thousands separators in the X-axis numbers. Default: False. */
  HRESULT (*get_ShowSeparatorX)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000A4), propput] Writes thousands separators in the X-axis numbers. Default: False. */
  HRESULT (*put_ShowSeparatorX)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000A5), propget] Writes thousands separators in the value-axis numbers. Default: False. */
  HRESULT (*get_ShowSeparatorY)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000A5), propput] Writes thousands separators in the value-axis numbers. Default: False. */
  HRESULT (*put_ShowSeparatorY)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000A6), propget] Text written before the X-axis numbers. Default: "". */
  HRESULT (*get_PrefixX)(IDraw* This, BSTR* Value);
  /* [id(0x000000A6), propput] Text written before the X-axis numbers. Default: "". */
  HRESULT (*put_PrefixX)(IDraw* This, BSTR Value);
  /* [id(0x000000A7), propget] Text written before the value-axis numbers. Default: "". */
  HRESULT (*get_PrefixY)(IDraw* This, BSTR* Value);
  /* [id(0x000000A7), propput] Text written before the value-axis numbers. Default: "". */
  HRESULT (*put_PrefixY)(IDraw* This, BSTR Value);
  /* [id(0x000000A8), propget] Text written after the X-axis numbers. Default: "". */
  HRESULT (*get_SuffixX)(IDraw* This, BSTR* Value);
  /* [id(0x000000A8), propput] Text written after the X-axis numbers. Default: "". */
  HRESULT (*put_SuffixX)(IDraw* This, BSTR Value);
  /* [id(0x000000A9), propget] Text written after the value-axis numbers. Default: "". */
  HRESULT (*get_SuffixY)(IDraw* This, BSTR* Value);
  /* [id(0x000000A9), propput] Text written after the value-axis numbers. Default: "". */
  HRESULT (*put_SuffixY)(IDraw* This, BSTR Value);
  /* [id(0x000000AA), propget] Font face of the texts of AddText; an empty text is ignored. Default: "Arial". */
  HRESULT (*get_TextFont)(IDraw* This, BSTR* Value);
  /* [id(0x000000AA), propput] Font face of the texts of AddText; an empty text is ignored. Default: "Arial". */
  HRESULT (*put_TextFont)(IDraw* This, BSTR Value);
  /* [id(0x000000AB), propget] Size in points of the texts of AddText. Default: 8. */
  HRESULT (*get_TextSize)(IDraw* This, LONG* Value);
  /* [id(0x000000AB), propput] Size in points of the texts of AddText. Default: 8. */
  HRESULT (*put_TextSize)(IDraw* This, LONG Value);
  /* [id(0x000000AC), propget] Draws the texts of AddText bold. Default: False. */
  HRESULT (*get_TextBold)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000AC), propput] Draws the texts of AddText bold. Default: False. */
  HRESULT (*put_TextBold)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000AD), propget] Draws the texts of AddText in italics. Default: False. */
  HRESULT (*get_TextItalic)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000AD), propput] Draws the texts of AddText in italics. Default: False. */
  HRESULT (*put_TextItalic)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000AE), propget] Underlines the texts of AddText. Default: False. */
  HRESULT (*get_TextUnderline)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000AE), propput] Underlines the texts of AddText. Default: False. */
  HRESULT (*put_TextUnderline)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000AF), propget] Draws the texts of AddText without a background. Default: True. */
  HRESULT (*get_TextTransparent)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000AF), propput] Draws the texts of AddText without a background. Default: True. */
  HRESULT (*put_TextTransparent)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000B0), propget] Background colour of the texts of AddText; an unreadable colour takes TextColor. Default: "FFFFFF". */
  HRESULT (*get_TextBGColor)(IDraw* This, BSTR* Value);
  /* [id(0x000000B0), propput] Background colour of the texts of AddText; an unreadable colour takes TextColor. Default: "FFFFFF". */
  HRESULT (*put_TextBGColor)(IDraw* This, BSTR Value);
  /* [id(0x000000B1), propget] Colour of the texts of AddText. Default: "000000". */
  HRESULT (*get_TextColor)(IDraw* This, BSTR* Value);
  /* [id(0x000000B1), propput] Colour of the texts of AddText. Default: "000000". */
  HRESULT (*put_TextColor)(IDraw* This, BSTR Value);
  /* [id(0x000000B2), propget] Lists the legend's entries in reverse order. Default: False. */
  HRESULT (*get_LegendInvert)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000B2), propput] Lists the legend's entries in reverse order. Default: False. */
  HRESULT (*put_LegendInvert)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000B3), propget] Gives items with an empty name no legend entry. Default: False. */
  HRESULT (*get_LegendHideEmptyNames)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000B3), propput] Gives items with an empty name no legend entry. Default: False. */
  HRESULT (*put_LegendHideEmptyNames)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000B4), propget] Pie: angle in degrees of the first slice's edge, counter-clockwise from straight down. Default: 0. */
  HRESULT (*get_StartAngle)(IDraw* This, FLOAT* Value);
  /* [id(0x000000B4), propput] Pie: angle in degrees of the first slice's edge, counter-clockwise from straight down. Default: 0. */
  HRESULT (*put_StartAngle)(IDraw* This, FLOAT Value);
  /* [id(0x000000B5), propget] Bar charts: draws the least-squares trend line of the bar values. Default: False. */
  HRESULT (*get_ShowTrendLine)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000B5), propput] Bar charts: draws the least-squares trend line of the bar values. Default: False. */
  HRESULT (*put_ShowTrendLine)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000B6), propget] Colour of the trend line. Default: "000000". */
  HRESULT (*get_TrendLineColor)(IDraw* This, BSTR* Value);
  /* [id(0x000000B6), propput] Colour of the trend line. Default: "000000". */
  HRESULT (*put_TrendLineColor)(IDraw* This, BSTR Value);
  /* [id(0x000000B7), propget] Pen width in pixels of the trend line. Default: 1. */
  HRESULT (*get_TrendLineWidth)(IDraw* This, LONG* Value);
  /* [id(0x000000B7), propput] Pen width in pixels of the trend line. Default: 1. */
  HRESULT (*put_TrendLineWidth)(IDraw* This, LONG Value);
  /* [id(0x000000B8), propget] The gap between bars, in pixels, that the last bar or stacked bar chart used. Default: 0. */
  HRESULT (*get_ReadBarGap)(IDraw* This, LONG* Value);
  /* [id(0x000000B9), propget] The bar width in pixels that the last bar or stacked bar chart used. Default: 0. */
  HRESULT (*get_ReadBarWidth)(IDraw* This, LONG* Value);
  /* [id(0x000000BA), propget] The X-axis step that the last line graph used. Default: 0. */
  HRESULT (*get_ReadXGrad)(IDraw* This, DOUBLE* Value);
  /* [id(0x000000BB), propget] The X-axis top value that the last line graph used. Default: 0. */
  HRESULT (*get_ReadXTop)(IDraw* This, DOUBLE* Value);
  /* [id(0x000000BC), propget] The value-axis step that the last chart with a value axis used. Default: 0. */
  HRESULT (*get_ReadYGrad)(IDraw* This, DOUBLE* Value);
  /* [id(0x000000BD), propget] The value-axis top value that the last chart with a value axis used. Default: 0. */
  HRESULT (*get_ReadYTop)(IDraw* This, DOUBLE* Value);
  /* [id(0x000000BE), propget] Legend text of the trend line. Default: "". */
  HRESULT (*get_TrendLineName)(IDraw* This, BSTR* Value);
  /* [id(0x000000BE), propput] Legend text of the trend line. Default: "". */
  HRESULT (*put_TrendLineName)(IDraw* This, BSTR Value);
  /* [id(0x000000BF)] Draws the chart of kind GraphType without a picture, for ImageMapText and the read-back values. */
  HRESULT (*DummyGraph)(IDraw* This, TxGraphType GraphType);
  /* [id(0x000000C0), propget] Pixels per unit of the X direction in the last drawing (from bar to bar in vertical bar charts). Default: 0. */
  HRESULT (*get_XPixelsPerUnit)(IDraw* This, DOUBLE* Value);
  /* [id(0x000000C1), propget] Pixels per unit of the Y direction in the last drawing (from bar to bar in horizontal bar charts). Default: 0. */
  HRESULT (*get_YPixelsPerUnit)(IDraw* This, DOUBLE* Value);
  /* [id(0x000000C2), propget] Pixel position of the first bar's centre in the last bar or stacked bar chart. Default: 0. */
  HRESULT (*get_FirstBarPos)(IDraw* This, LONG* Value);
  /* [id(0x000000C3), propget] Pixel position of the last bar's centre in the last bar or stacked bar chart. Default: 0. */
  HRESULT (*get_LastBarPos)(IDraw* This, LONG* Value);
  /* [id(0x000000C4), propget] Turns the bar totals by 90 degrees. Default: False. */
  HRESULT (*get_BarTotalVertical)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000C4), propput] Turns the bar totals by 90 degrees. Default: False. */
  HRESULT (*put_BarTotalVertical)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000C5), propget] Draws the lines of AddPoint over bar and stacked bar charts, the k-th point over the k-th bar. Default: False. */
  HRESULT (*get_ShowLinesWithBars)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000C5), propput] Draws the lines of AddPoint over bar and stacked bar charts, the k-th point over the k-th bar. Default: False. */
  HRESULT (*put_ShowLinesWithBars)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000C6), propget] Writes the total also of a bar whose value is the origin's value. Default: True. */
  HRESULT (*get_ShowTotalifZero)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000C6), propput] Writes the total also of a bar whose value is the origin's value. Default: True. */
  HRESULT (*put_ShowTotalifZero)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000C7), propget] Resolution written into PNG pictures, in dots per inch; 0 writes none. Default: 0. */
  HRESULT (*get_DPI)(IDraw* This, LONG* Value);
  /* [id(0x000000C7), propput] Resolution written into PNG pictures, in dots per inch; 0 writes none. Default: 0. */
  HRESULT (*put_DPI)(IDraw* This, LONG Value);
  /* [id(0x000000C8)] Adds a glyph at (X, Y) in the units of the line graph's axes, of PointStyle, PointSize pixels and Colour. */
  HRESULT (*AddMarker)(IDraw* This, DOUBLE X, DOUBLE Y, TxPointStyle PointStyle, LONG PointSize, BSTR Colour);
  /* [id(0x000000C9), propget] Shows the entries of AddCustomLegend as the legend instead of the data's. Default: False. */
  HRESULT (*get_CustomLegend)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000C9), propput] Shows the entries of AddCustomLegend as the legend instead of the data's. Default: False. */
  HRESULT (*put_CustomLegend)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000CA)] Adds an entry of the custom legend: its text and colour. */
  HRESULT (*AddCustomLegend)(IDraw* This, BSTR Value, BSTR Colour);
  /* [id(0x000000CB)] Removes every entry of the custom legend. */
  HRESULT (*ClearCustomLegend)(IDraw* This);
  /* [id(0x000000CC)] The chart of kind GraphType in FileFormat as Base64 text, lines broken after 76 characters; an unknown format gives "". */
  HRESULT (*Base64Out)(IDraw* This, TxGraphType GraphType, TxImageFormat FileFormat, BSTR* Value);
} IDrawVtbl;
