typedef struct IDrawVtbl {
  PLOTVANE_IDISPATCH_METHODS(IDraw);
  /* [id(0x00000003), propget] */
  HRESULT (*get_Width)(IDraw* This, LONG* Value);
  /* [id(0x00000003), propput] */
  HRESULT (*put_Width)(IDraw* This, LONG Value);
  /* [id(0x00000004), propget] */
  HRESULT (*get_Height)(IDraw* This, LONG* Value);
  /* [id(0x00000004), propput] */
  HRESULT (*put_Height)(IDraw* This, LONG Value);
  /* [id(0x00000005), propget] */
  HRESULT (*get_CenterX)(IDraw* This, LONG* Value);
  /* [id(0x00000005), propput] */
  HRESULT (*put_CenterX)(IDraw* This, LONG Value);
  /* [id(0x00000006), propget] */
  HRESULT (*get_CenterY)(IDraw* This, LONG* Value);
  /* [id(0x00000006), propput] */
  HRESULT (*put_CenterY)(IDraw* This, LONG Value);
  /* [id(0x00000007), propget] */
  HRESULT (*get_BGColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000007), propput] */
  HRESULT (*put_BGColor)(IDraw* This, BSTR Value);
  /* [id(0x00000008), propget] */
  HRESULT (*get_PieDia)(IDraw* This, LONG* Value);
  /* [id(0x00000008), propput] */
  HRESULT (*put_PieDia)(IDraw* This, LONG Value);
  /* [id(0x00000009), propget] */
  HRESULT (*get_ShowLabel)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000009), propput] */
  HRESULT (*put_ShowLabel)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000000A), propget] */
  HRESULT (*get_ShowPercent)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000000A), propput] */
  HRESULT (*put_ShowPercent)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000000C), propget] */
  HRESULT (*get_LabelFont)(IDraw* This, BSTR* Value);
  /* [id(0x0000000C), propput] */
  HRESULT (*put_LabelFont)(IDraw* This, BSTR Value);
  /* [id(0x0000000D), propget] */
  HRESULT (*get_LabelSize)(IDraw* This, LONG* Value);
  /* [id(0x0000000D), propput] */
  HRESULT (*put_LabelSize)(IDraw* This, LONG Value);
  /* [id(0x0000000E), propget] */
  HRESULT (*get_LabelBold)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000000E), propput] */
  HRESULT (*put_LabelBold)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000000F), propget] */
  HRESULT (*get_LabelBGColor)(IDraw* This, BSTR* Value);
  /* [id(0x0000000F), propput] */
  HRESULT (*put_LabelBGColor)(IDraw* This, BSTR Value);
  /* [id(0x00000010), propget] */
  HRESULT (*get_LabelColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000010), propput] */
  HRESULT (*put_LabelColor)(IDraw* This, BSTR Value);
  /* [id(0x00000011), propget] */
  HRESULT (*get_LegendX)(IDraw* This, LONG* Value);
  /* [id(0x00000011), propput] */
  HRESULT (*put_LegendX)(IDraw* This, LONG Value);
  /* [id(0x00000012), propget] */
  HRESULT (*get_LegendY)(IDraw* This, LONG* Value);
  /* [id(0x00000012), propput] */
  HRESULT (*put_LegendY)(IDraw* This, LONG Value);
  /* [id(0x00000013), propget] */
  HRESULT (*get_Square)(IDraw* This, LONG* Value);
  /* [id(0x00000013), propput] */
  HRESULT (*put_Square)(IDraw* This, LONG Value);
  /* [id(0x00000014), propget] */
  HRESULT (*get_Padding)(IDraw* This, LONG* Value);
  /* [id(0x00000014), propput] */
  HRESULT (*put_Padding)(IDraw* This, LONG Value);
  /* [id(0x00000015), propget] */
  HRESULT (*get_LegendFont)(IDraw* This, BSTR* Value);
  /* [id(0x00000015), propput] */
  HRESULT (*put_LegendFont)(IDraw* This, BSTR Value);
  /* [id(0x00000016), propget] */
  HRESULT (*get_LegendTextSize)(IDraw* This, LONG* Value);
  /* [id(0x00000016), propput] */
  HRESULT (*put_LegendTextSize)(IDraw* This, LONG Value);
  /* [id(0x00000017), propget] */
  HRESULT (*get_LegendBGColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000017), propput] */
  HRESULT (*put_LegendBGColor)(IDraw* This, BSTR Value);
  /* [id(0x00000018), propget] */
  HRESULT (*get_LegendColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000018), propput] */
  HRESULT (*put_LegendColor)(IDraw* This, BSTR Value);
  /* [id(0x00000019), propget] */
  HRESULT (*get_JPegQuality)(IDraw* This, LONG* Value);
  /* [id(0x00000019), propput] */
  HRESULT (*put_JPegQuality)(IDraw* This, LONG Value);
  /* [id(0x0000001A), propget] */
  HRESULT (*get_TitleX)(IDraw* This, LONG* Value);
  /* [id(0x0000001A), propput] */
  HRESULT (*put_TitleX)(IDraw* This, LONG Value);
  /* [id(0x0000001B), propget] */
  HRESULT (*get_TitleY)(IDraw* This, LONG* Value);
  /* [id(0x0000001B), propput] */
  HRESULT (*put_TitleY)(IDraw* This, LONG Value);
  /* [id(0x0000001C), propget] */
  HRESULT (*get_TitleFont)(IDraw* This, BSTR* Value);
  /* [id(0x0000001C), propput] */
  HRESULT (*put_TitleFont)(IDraw* This, BSTR Value);
  /* [id(0x0000001D), propget] */
  HRESULT (*get_TitleSize)(IDraw* This, LONG* Value);
  /* [id(0x0000001D), propput] */
  HRESULT (*put_TitleSize)(IDraw* This, LONG Value);
  /* [id(0x0000001E), propget] */
  HRESULT (*get_TitleBold)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000001E), propput] */
  HRESULT (*put_TitleBold)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000001F), propget] */
  HRESULT (*get_TitleBGColor)(IDraw* This, BSTR* Value);
  /* [id(0x0000001F), propput] */
  HRESULT (*put_TitleBGColor)(IDraw* This, BSTR Value);
  /* [id(0x00000020), propget] */
  HRESULT (*get_TitleColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000020), propput] */
  HRESULT (*put_TitleColor)(IDraw* This, BSTR Value);
  /* [id(0x00000021), propget] */
  HRESULT (*get_Title)(IDraw* This, BSTR* Value);
  /* [id(0x00000021), propput] */
  HRESULT (*put_Title)(IDraw* This, BSTR Value);
  /* [id(0x00000022), propget] */
  HRESULT (*get_Decimals)(IDraw* This, LONG* Value);
  /* [id(0x00000022), propput] */
  HRESULT (*put_Decimals)(IDraw* This, LONG Value);
  /* [id(0x00000023)] */
  HRESULT (*AddData)(IDraw* This, BSTR Name, DOUBLE Value, BSTR Colour);
  /* [id(0x00000024), propget] */
  HRESULT (*get_ReadName)(IDraw* This, USHORT Index, BSTR* Value);
  /* [id(0x00000025), propget] */
  HRESULT (*get_ReadValue)(IDraw* This, USHORT Index, FLOAT* Value);
  /* [id(0x00000026), propget] */
  HRESULT (*get_ReadColor)(IDraw* This, USHORT Index, BSTR* Value);
  /* [id(0x00000027)] */
  HRESULT (*ClearData)(IDraw* This);
  /* [id(0x00000028), propget] */
  HRESULT (*get_DataCount)(IDraw* This, LONG* Value);
  /* [id(0x00000029), propget] */
  HRESULT (*get_GraphPen)(IDraw* This, BSTR* Value);
  /* [id(0x00000029), propput] */
  HRESULT (*put_GraphPen)(IDraw* This, BSTR Value);
  /* [id(0x0000002A), propget] */
  HRESULT (*get_JPGPie)(IDraw* This, VARIANT* Value);
  /* [id(0x0000002B), propget] */
  HRESULT (*get_ShowLegend)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000002B), propput] */
  HRESULT (*put_ShowLegend)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000002C), propget] */
  HRESULT (*get_ShowLegendBox)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000002C), propput] */
  HRESULT (*put_ShowLegendBox)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000002D), propget] */
  HRESULT (*get_GIFPie)(IDraw* This, VARIANT* Value);
  /* [id(0x0000002E), propget] */
  HRESULT (*get_OriginX)(IDraw* This, LONG* Value);
  /* [id(0x0000002E), propput] */
  HRESULT (*put_OriginX)(IDraw* This, LONG Value);
  /* [id(0x0000002F), propget] */
  HRESULT (*get_OriginY)(IDraw* This, LONG* Value);
  /* [id(0x0000002F), propput] */
  HRESULT (*put_OriginY)(IDraw* This, LONG Value);
  /* [id(0x00000030), propget] */
  HRESULT (*get_MaxX)(IDraw* This, LONG* Value);
  /* [id(0x00000030), propput] */
  HRESULT (*put_MaxX)(IDraw* This, LONG Value);
  /* [id(0x00000031), propget] */
  HRESULT (*get_MaxY)(IDraw* This, LONG* Value);
  /* [id(0x00000031), propput] */
  HRESULT (*put_MaxY)(IDraw* This, LONG Value);
  /* [id(0x00000032), propget] */
  HRESULT (*get_BarWidth)(IDraw* This, LONG* Value);
  /* [id(0x00000032), propput] */
  HRESULT (*put_BarWidth)(IDraw* This, LONG Value);
  /* [id(0x00000033), propget] */
  HRESULT (*get_BarGap)(IDraw* This, LONG* Value);
  /* [id(0x00000033), propput] */
  HRESULT (*put_BarGap)(IDraw* This, LONG Value);
  /* [id(0x00000034), propget] */
  HRESULT (*get_YGrad)(IDraw* This, DOUBLE* Value);
  /* [id(0x00000034), propput] */
  HRESULT (*put_YGrad)(IDraw* This, DOUBLE Value);
  /* [id(0x00000035), propget] */
  HRESULT (*get_YTop)(IDraw* This, DOUBLE* Value);
  /* [id(0x00000035), propput] */
  HRESULT (*put_YTop)(IDraw* This, DOUBLE Value);
  /* [id(0x00000036), propget] */
  HRESULT (*get_GIFBar)(IDraw* This, VARIANT* Value);
  /* [id(0x00000037), propget] */
  HRESULT (*get_JPGBar)(IDraw* This, VARIANT* Value);
  /* [id(0x00000038), propget] */
  HRESULT (*get_BMPBar)(IDraw* This, VARIANT* Value);
  /* [id(0x00000039), propget] */
  HRESULT (*get_BMPPie)(IDraw* This, VARIANT* Value);
  /* [id(0x0000003A)] */
  HRESULT (*SaveGIFPie)(IDraw* This, BSTR FileName);
  /* [id(0x0000003B)] */
  HRESULT (*SaveJPGPie)(IDraw* This, BSTR FileName);
  /* [id(0x0000003C)] */
  HRESULT (*SaveBMPPie)(IDraw* This, BSTR FileName);
  /* [id(0x0000003D)] */
  HRESULT (*SaveGIFBar)(IDraw* This, BSTR FileName);
  /* [id(0x0000003E)] */
  HRESULT (*SaveJPGBar)(IDraw* This, BSTR FileName);
  /* [id(0x0000003F)] */
  HRESULT (*SaveBMPBar)(IDraw* This, BSTR FileName);
  /* [id(0x00000040), propget] */
  HRESULT (*get_AxisTextFont)(IDraw* This, BSTR* Value);
  /* [id(0x00000040), propput] */
  HRESULT (*put_AxisTextFont)(IDraw* This, BSTR Value);
  /* [id(0x00000041), propget] */
  HRESULT (*get_AxisTextSize)(IDraw* This, LONG* Value);
  /* [id(0x00000041), propput] */
  HRESULT (*put_AxisTextSize)(IDraw* This, LONG Value);
  /* [id(0x00000042), propget] */
  HRESULT (*get_AxisTextBGColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000042), propput] */
  HRESULT (*put_AxisTextBGColor)(IDraw* This, BSTR Value);
  /* [id(0x00000043), propget] */
  HRESULT (*get_AxisTextColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000043), propput] */
  HRESULT (*put_AxisTextColor)(IDraw* This, BSTR Value);
  /* [id(0x00000044), propget] */
  HRESULT (*get_AxisTextBold)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000044), propput] */
  HRESULT (*put_AxisTextBold)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000046), propget] */
  HRESULT (*get_XAxisText)(IDraw* This, BSTR* Value);
  /* [id(0x00000046), propput] */
  HRESULT (*put_XAxisText)(IDraw* This, BSTR Value);
  /* [id(0x00000047), propget] */
  HRESULT (*get_YAxisText)(IDraw* This, BSTR* Value);
  /* [id(0x00000047), propput] */
  HRESULT (*put_YAxisText)(IDraw* This, BSTR Value);
  /* [id(0x00000048), propget] */
  HRESULT (*get_RNDColor)(IDraw* This, LONG* Value);
  /* [id(0x00000048), propput] */
  HRESULT (*put_RNDColor)(IDraw* This, LONG Value);
  /* [id(0x00000049), propget] */
  HRESULT (*get_LabelVertical)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000049), propput] */
  HRESULT (*put_LabelVertical)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000000B), propget] */
  HRESULT (*get_Offset)(IDraw* This, LONG* Value);
  /* [id(0x0000000B), propput] */
  HRESULT (*put_Offset)(IDraw* This, LONG Value);
  /* [id(0x00000045), propget] */
  HRESULT (*get_Version)(IDraw* This, BSTR* Value);
  /* [id(0x00000002), propget] */
  HRESULT (*get_ShowNumbers)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000002), propput] */
  HRESULT (*put_ShowNumbers)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000001), propget] */
  HRESULT (*get_ShowGrid)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000001), propput] */
  HRESULT (*put_ShowGrid)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000004A), propget] */
  HRESULT (*get_GridColor)(IDraw* This, BSTR* Value);
  /* [id(0x0000004A), propput] */
  HRESULT (*put_GridColor)(IDraw* This, BSTR Value);
  /* [id(0x0000004B), propget] */
  HRESULT (*get_ShowBarTotal)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000004B), propput] */
  HRESULT (*put_ShowBarTotal)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000004C), propget] */
  HRESULT (*get_GridStyle)(IDraw* This, TxGridStyle* Value);
  /* [id(0x0000004C), propput] */
  HRESULT (*put_GridStyle)(IDraw* This, TxGridStyle Value);
  /* [id(0x0000004D), propget] */
  HRESULT (*get_VerticalBars)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000004D), propput] */
  HRESULT (*put_VerticalBars)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000004E), propget] */
  HRESULT (*get_TransColor)(IDraw* This, BSTR* Value);
  /* [id(0x0000004E), propput] */
  HRESULT (*put_TransColor)(IDraw* This, BSTR Value);
  /* [id(0x0000004F), propget] */
  HRESULT (*get_PNGBar)(IDraw* This, VARIANT* Value);
  /* [id(0x00000050), propget] */
  HRESULT (*get_PNGPie)(IDraw* This, VARIANT* Value);
  /* [id(0x00000051)] */
  HRESULT (*SavePNGBar)(IDraw* This, BSTR FileName);
  /* [id(0x00000052)] */
  HRESULT (*SavePNGPie)(IDraw* This, BSTR FileName);
  /* [id(0x00000053), propget] */
  HRESULT (*get_BMPHandle)(IDraw* This, TxGraphType GraphType, LONG* Value);
  /* [id(0x00000054), propget] */
  HRESULT (*get_Transparent)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000054), propput] */
  HRESULT (*put_Transparent)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000055), propget] */
  HRESULT (*get_XTop)(IDraw* This, DOUBLE* Value);
  /* [id(0x00000055), propput] */
  HRESULT (*put_XTop)(IDraw* This, DOUBLE Value);
  /* [id(0x00000056), propget] */
  HRESULT (*get_XGrad)(IDraw* This, DOUBLE* Value);
  /* [id(0x00000056), propput] */
  HRESULT (*put_XGrad)(IDraw* This, DOUBLE Value);
  /* [id(0x00000057), propget] */
  HRESULT (*get_XValuesVertical)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000057), propput] */
  HRESULT (*put_XValuesVertical)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000058), propget] */
  HRESULT (*get_LineWidth)(IDraw* This, LONG* Value);
  /* [id(0x00000058), propput] */
  HRESULT (*put_LineWidth)(IDraw* This, LONG Value);
  /* [id(0x00000059), propget] */
  HRESULT (*get_PointStyle)(IDraw* This, TxPointStyle* Value);
  /* [id(0x00000059), propput] */
  HRESULT (*put_PointStyle)(IDraw* This, TxPointStyle Value);
  /* [id(0x0000005A), propget] */
  HRESULT (*get_PointSize)(IDraw* This, LONG* Value);
  /* [id(0x0000005A), propput] */
  HRESULT (*put_PointSize)(IDraw* This, LONG Value);
  /* [id(0x0000005B)] */
  HRESULT (*SaveGIFLine)(IDraw* This, BSTR FileName);
  /* [id(0x0000005C)] */
  HRESULT (*SaveBMPLine)(IDraw* This, BSTR FileName);
  /* [id(0x0000005D)] */
  HRESULT (*SavePNGLine)(IDraw* This, BSTR FileName);
  /* [id(0x0000005E)] */
  HRESULT (*SaveJPGLine)(IDraw* This, BSTR FileName);
  /* [id(0x0000005F), propget] */
  HRESULT (*get_GIFLine)(IDraw* This, VARIANT* Value);
  /* [id(0x00000060), propget] */
  HRESULT (*get_BMPLine)(IDraw* This, VARIANT* Value);
  /* [id(0x00000061), propget] */
  HRESULT (*get_JPGLine)(IDraw* This, VARIANT* Value);
  /* [id(0x00000062), propget] */
  HRESULT (*get_PNGLine)(IDraw* This, VARIANT* Value);
  /* [id(0x00000063)] */
  HRESULT (*AddPoint)(IDraw* This, DOUBLE X, DOUBLE Y, BSTR Color, BSTR LineName);
  /* [id(0x00000064)] */
  HRESULT (*AddXValue)(IDraw* This, DOUBLE Name, BSTR Value);
  /* [id(0x00000065), propget] */
  HRESULT (*get_UseXAxisLabels)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000065), propput] */
  HRESULT (*put_UseXAxisLabels)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000066), propget] */
  HRESULT (*get_XOffset)(IDraw* This, DOUBLE* Value);
  /* [id(0x00000066), propput] */
  HRESULT (*put_XOffset)(IDraw* This, DOUBLE Value);
  /* [id(0x00000067), propget] */
  HRESULT (*get_YOffset)(IDraw* This, DOUBLE* Value);
  /* [id(0x00000067), propput] */
  HRESULT (*put_YOffset)(IDraw* This, DOUBLE Value);
  /* [id(0x00000068), propget] */
  HRESULT (*get_UseYAxisLabels)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000068), propput] */
  HRESULT (*put_UseYAxisLabels)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000069)] */
  HRESULT (*AddYValue)(IDraw* This, DOUBLE Name, BSTR Value);
  /* [id(0x0000006A), propget] */
  HRESULT (*get_XMarkSize)(IDraw* This, LONG* Value);
  /* [id(0x0000006A), propput] */
  HRESULT (*put_XMarkSize)(IDraw* This, LONG Value);
  /* [id(0x0000006B), propget] */
  HRESULT (*get_YMarkSize)(IDraw* This, LONG* Value);
  /* [id(0x0000006B), propput] */
  HRESULT (*put_YMarkSize)(IDraw* This, LONG Value);
  /* [id(0x0000006C), propget] */
  HRESULT (*get_XAxisNegative)(IDraw* This, LONG* Value);
  /* [id(0x0000006C), propput] */
  HRESULT (*put_XAxisNegative)(IDraw* This, LONG Value);
  /* [id(0x0000006D), propget] */
  HRESULT (*get_YAxisNegative)(IDraw* This, LONG* Value);
  /* [id(0x0000006D), propput] */
  HRESULT (*put_YAxisNegative)(IDraw* This, LONG Value);
  /* [id(0x0000006E), propget] */
  HRESULT (*get_Prefix)(IDraw* This, BSTR* Value);
  /* [id(0x0000006E), propput] */
  HRESULT (*put_Prefix)(IDraw* This, BSTR Value);
  /* [id(0x0000006F), propget] */
  HRESULT (*get_Suffix)(IDraw* This, BSTR* Value);
  /* [id(0x0000006F), propput] */
  HRESULT (*put_Suffix)(IDraw* This, BSTR Value);
  /* [id(0x00000070), propget] */
  HRESULT (*get_ShowSeparator)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000070), propput] */
  HRESULT (*put_ShowSeparator)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000071), propget] */
  HRESULT (*get_PlotAreaColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000071), propput] */
  HRESULT (*put_PlotAreaColor)(IDraw* This, BSTR Value);
  /* [id(0x00000072)] */
  HRESULT (*AddText)(IDraw* This, BSTR Value, LONG X, LONG Y, FLOAT Angle);
  /* [id(0x00000073), propget] */
  HRESULT (*get_ShowLine)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000073), propput] */
  HRESULT (*put_ShowLine)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000074)] */
  HRESULT (*AddMapArea)(IDraw* This, BSTR URL, BSTR HelpText, BSTR ExtraHTML);
  /* [id(0x00000075), propget] */
  HRESULT (*get_ImageMapExtra)(IDraw* This, BSTR* Value);
  /* [id(0x00000075), propput] */
  HRESULT (*put_ImageMapExtra)(IDraw* This, BSTR Value);
  /* [id(0x00000076)] */
  HRESULT (*SetImageMapParams)(IDraw* This, BSTR MapName, VARIANT_BOOL DataArea, VARIANT_BOOL MapLabel, VARIANT_BOOL Legend);
  /* [id(0x00000077), propget] */
  HRESULT (*get_ImageMapText)(IDraw* This, BSTR* Value);
  /* [id(0x00000078), propget] */
  HRESULT (*get_LineGraphTextFont)(IDraw* This, BSTR* Value);
  /* [id(0x00000078), propput] */
  HRESULT (*put_LineGraphTextFont)(IDraw* This, BSTR Value);
  /* [id(0x00000079), propget] */
  HRESULT (*get_LineGraphTextBGColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000079), propput] */
  HRESULT (*put_LineGraphTextBGColor)(IDraw* This, BSTR Value);
  /* [id(0x0000007A), propget] */
  HRESULT (*get_LineGraphTextColor)(IDraw* This, BSTR* Value);
  /* [id(0x0000007A), propput] */
  HRESULT (*put_LineGraphTextColor)(IDraw* This, BSTR Value);
  /* [id(0x0000007B), propget] */
  HRESULT (*get_LineGraphTextSize)(IDraw* This, LONG* Value);
  /* [id(0x0000007B), propput] */
  HRESULT (*put_LineGraphTextSize)(IDraw* This, LONG Value);
  /* [id(0x0000007C), propget] */
  HRESULT (*get_LineGraphTextBold)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000007C), propput] */
  HRESULT (*put_LineGraphTextBold)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000007D), propget] */
  HRESULT (*get_LineGraphTextAlign)(IDraw* This, TxTextAlign* Value);
  /* [id(0x0000007D), propput] */
  HRESULT (*put_LineGraphTextAlign)(IDraw* This, TxTextAlign Value);
  /* [id(0x0000007E), propget] */
  HRESULT (*get_LineGraphTextX)(IDraw* This, LONG* Value);
  /* [id(0x0000007E), propput] */
  HRESULT (*put_LineGraphTextX)(IDraw* This, LONG Value);
  /* [id(0x0000007F), propget] */
  HRESULT (*get_LineGraphTextY)(IDraw* This, LONG* Value);
  /* [id(0x0000007F), propput] */
  HRESULT (*put_LineGraphTextY)(IDraw* This, LONG Value);
  /* [id(0x00000080), propget] */
  HRESULT (*get_LineGraphTextBorder)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000080), propput] */
  HRESULT (*put_LineGraphTextBorder)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000081), propget] */
  HRESULT (*get_LineGraphTextLeader)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000081), propput] */
  HRESULT (*put_LineGraphTextLeader)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000082), propget] */
  HRESULT (*get_LineGraphBorderColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000082), propput] */
  HRESULT (*put_LineGraphBorderColor)(IDraw* This, BSTR Value);
  /* [id(0x00000083), propget] */
  HRESULT (*get_LineGraphLeaderColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000083), propput] */
  HRESULT (*put_LineGraphLeaderColor)(IDraw* This, BSTR Value);
  /* [id(0x00000084)] */
  HRESULT (*AddLineGraphText)(IDraw* This, BSTR Text, DOUBLE X, DOUBLE Y, FLOAT Angle);
  /* [id(0x00000085), propget] */
  HRESULT (*get_ShowPlotBorder)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000085), propput] */
  HRESULT (*put_ShowPlotBorder)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000086), propget] */
  HRESULT (*get_TitleTextAlign)(IDraw* This, TxTextAlign* Value);
  /* [id(0x00000086), propput] */
  HRESULT (*put_TitleTextAlign)(IDraw* This, TxTextAlign Value);
  /* [id(0x00000087), propget] */
  HRESULT (*get_HideVGrid)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000087), propput] */
  HRESULT (*put_HideVGrid)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000088), propget] */
  HRESULT (*get_HideHGrid)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000088), propput] */
  HRESULT (*put_HideHGrid)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000089)] */
  HRESULT (*OLEColorToStr)(IDraw* This, OLE_COLOR Color, BSTR* Value);
  /* [id(0x0000008A), propget] */
  HRESULT (*get_UseXAxisDates)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000008A), propput] */
  HRESULT (*put_UseXAxisDates)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000008B), propget] */
  HRESULT (*get_UseYAxisDates)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000008B), propput] */
  HRESULT (*put_UseYAxisDates)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000008C), propget] */
  HRESULT (*get_DateTimeFormat)(IDraw* This, LONG* Value);
  /* [id(0x0000008C), propput] */
  HRESULT (*put_DateTimeFormat)(IDraw* This, LONG Value);
  /* [id(0x0000008D), propget] */
  HRESULT (*get_UseLZW)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000008D), propput] */
  HRESULT (*put_UseLZW)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000008E), propget] */
  HRESULT (*get_ShowStackedValue)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000008E), propput] */
  HRESULT (*put_ShowStackedValue)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000008F), propget] */
  HRESULT (*get_StackedTextFont)(IDraw* This, BSTR* Value);
  /* [id(0x0000008F), propput] */
  HRESULT (*put_StackedTextFont)(IDraw* This, BSTR Value);
  /* [id(0x00000090), propget] */
  HRESULT (*get_StackedTextSize)(IDraw* This, LONG* Value);
  /* [id(0x00000090), propput] */
  HRESULT (*put_StackedTextSize)(IDraw* This, LONG Value);
  /* [id(0x00000091), propget] */
  HRESULT (*get_StackedTextBGColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000091), propput] */
  HRESULT (*put_StackedTextBGColor)(IDraw* This, BSTR Value);
  /* [id(0x00000092), propget] */
  HRESULT (*get_StackedTextColor)(IDraw* This, BSTR* Value);
  /* [id(0x00000092), propput] */
  HRESULT (*put_StackedTextColor)(IDraw* This, BSTR Value);
  /* [id(0x00000093), propget] */
  HRESULT (*get_StackedTextTransparent)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x00000093), propput] */
  HRESULT (*put_StackedTextTransparent)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x00000094), propget] */
  HRESULT (*get_StackedTextAlign)(IDraw* This, TxStackedTextAlign* Value);
  /* [id(0x00000094), propput] */
  HRESULT (*put_StackedTextAlign)(IDraw* This, TxStackedTextAlign Value);
  /* [id(0x00000095)] */
  HRESULT (*AddGroupedData)(IDraw* This, BSTR Group, BSTR Name, DOUBLE Value, BSTR Color);
  /* [id(0x00000096), propget] */
  HRESULT (*get_GIFStackedBar)(IDraw* This, VARIANT* Value);
  /* [id(0x00000097), propget] */
  HRESULT (*get_JPGStackedBar)(IDraw* This, VARIANT* Value);
  /* [id(0x00000098), propget] */
  HRESULT (*get_PNGStackedBar)(IDraw* This, VARIANT* Value);
  /* [id(0x00000099), propget] */
  HRESULT (*get_BMPStackedBar)(IDraw* This, VARIANT* Value);
  /* [id(0x0000009A)] */
  HRESULT (*SaveGIFStackedBar)(IDraw* This, BSTR FileName);
  /* [id(0x0000009B)] */
  HRESULT (*SaveJPGStackedBar)(IDraw* This, BSTR FileName);
  /* [id(0x0000009C)] */
  HRESULT (*SavePNGStackedBar)(IDraw* This, BSTR FileName);
  /* [id(0x0000009D)] */
  HRESULT (*SaveBMPStackedBar)(IDraw* This, BSTR FileName);
  /* [id(0x0000009E), propget] */
  HRESULT (*get_LegendVertical)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x0000009E), propput] */
  HRESULT (*put_LegendVertical)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x0000009F), propget] */
  HRESULT (*get_LegendAlign)(IDraw* This, TxTextAlign* Value);
  /* [id(0x0000009F), propput] */
  HRESULT (*put_LegendAlign)(IDraw* This, TxTextAlign Value);
  /* [id(0x000000A0), propget] */
  HRESULT (*get_CreateGUID)(IDraw* This, BSTR* Value);
  /* [id(0x000000A1), propget] */
  HRESULT (*get_DateFormatString)(IDraw* This, BSTR* Value);
  /* [id(0x000000A1), propput] */
  HRESULT (*put_DateFormatString)(IDraw* This, BSTR Value);
  /* [id(0x000000A2), propget] */
  HRESULT (*get_TimeFormatString)(IDraw* This, BSTR* Value);
  /* [id(0x000000A2), propput] */
  HRESULT (*put_TimeFormatString)(IDraw* This, BSTR Value);
  /* [id(0x000000A3)] */
  HRESULT (*AddExtraLine)(IDraw* This, LONG X1, LONG Y1, LONG X2, LONG Y2, LONG Thickness, TxGridStyle PenStyle, BSTR Colour);
  /* [id(0x000000A4), propget] */
  HRESULT (*get_ShowSeparatorX)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000A4), propput] */
  HRESULT (*put_ShowSeparatorX)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000A5), propget] */
  HRESULT (*get_ShowSeparatorY)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000A5), propput] */
  HRESULT (*put_ShowSeparatorY)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000A6), propget] */
  HRESULT (*get_PrefixX)(IDraw* This, BSTR* Value);
  /* [id(0x000000A6), propput] */
  HRESULT (*put_PrefixX)(IDraw* This, BSTR Value);
  /* [id(0x000000A7), propget] */
  HRESULT (*get_PrefixY)(IDraw* This, BSTR* Value);
  /* [id(0x000000A7), propput] */
  HRESULT (*put_PrefixY)(IDraw* This, BSTR Value);
  /* [id(0x000000A8), propget] */
  HRESULT (*get_SuffixX)(IDraw* This, BSTR* Value);
  /* [id(0x000000A8), propput] */
  HRESULT (*put_SuffixX)(IDraw* This, BSTR Value);
  /* [id(0x000000A9), propget] */
  HRESULT (*get_SuffixY)(IDraw* This, BSTR* Value);
  /* [id(0x000000A9), propput] */
  HRESULT (*put_SuffixY)(IDraw* This, BSTR Value);
  /* [id(0x000000AA), propget] */
  HRESULT (*get_TextFont)(IDraw* This, BSTR* Value);
  /* [id(0x000000AA), propput] */
  HRESULT (*put_TextFont)(IDraw* This, BSTR Value);
  /* [id(0x000000AB), propget] */
  HRESULT (*get_TextSize)(IDraw* This, LONG* Value);
  /* [id(0x000000AB), propput] */
  HRESULT (*put_TextSize)(IDraw* This, LONG Value);
  /* [id(0x000000AC), propget] */
  HRESULT (*get_TextBold)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000AC), propput] */
  HRESULT (*put_TextBold)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000AD), propget] */
  HRESULT (*get_TextItalic)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000AD), propput] */
  HRESULT (*put_TextItalic)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000AE), propget] */
  HRESULT (*get_TextUnderline)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000AE), propput] */
  HRESULT (*put_TextUnderline)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000AF), propget] */
  HRESULT (*get_TextTransparent)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000AF), propput] */
  HRESULT (*put_TextTransparent)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000B0), propget] */
  HRESULT (*get_TextBGColor)(IDraw* This, BSTR* Value);
  /* [id(0x000000B0), propput] */
  HRESULT (*put_TextBGColor)(IDraw* This, BSTR Value);
  /* [id(0x000000B1), propget] */
  HRESULT (*get_TextColor)(IDraw* This, BSTR* Value);
  /* [id(0x000000B1), propput] */
  HRESULT (*put_TextColor)(IDraw* This, BSTR Value);
  /* [id(0x000000B2), propget] */
  HRESULT (*get_LegendInvert)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000B2), propput] */
  HRESULT (*put_LegendInvert)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000B3), propget] */
  HRESULT (*get_LegendHideEmptyNames)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000B3), propput] */
  HRESULT (*put_LegendHideEmptyNames)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000B4), propget] */
  HRESULT (*get_StartAngle)(IDraw* This, FLOAT* Value);
  /* [id(0x000000B4), propput] */
  HRESULT (*put_StartAngle)(IDraw* This, FLOAT Value);
  /* [id(0x000000B5), propget] */
  HRESULT (*get_ShowTrendLine)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000B5), propput] */
  HRESULT (*put_ShowTrendLine)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000B6), propget] */
  HRESULT (*get_TrendLineColor)(IDraw* This, BSTR* Value);
  /* [id(0x000000B6), propput] */
  HRESULT (*put_TrendLineColor)(IDraw* This, BSTR Value);
  /* [id(0x000000B7), propget] */
  HRESULT (*get_TrendLineWidth)(IDraw* This, LONG* Value);
  /* [id(0x000000B7), propput] */
  HRESULT (*put_TrendLineWidth)(IDraw* This, LONG Value);
  /* [id(0x000000B8), propget] */
  HRESULT (*get_ReadBarGap)(IDraw* This, LONG* Value);
  /* [id(0x000000B9), propget] */
  HRESULT (*get_ReadBarWidth)(IDraw* This, LONG* Value);
  /* [id(0x000000BA), propget] */
  HRESULT (*get_ReadXGrad)(IDraw* This, DOUBLE* Value);
  /* [id(0x000000BB), propget] */
  HRESULT (*get_ReadXTop)(IDraw* This, DOUBLE* Value);
  /* [id(0x000000BC), propget] */
  HRESULT (*get_ReadYGrad)(IDraw* This, DOUBLE* Value);
  /* [id(0x000000BD), propget] */
  HRESULT (*get_ReadYTop)(IDraw* This, DOUBLE* Value);
  /* [id(0x000000BE), propget] */
  HRESULT (*get_TrendLineName)(IDraw* This, BSTR* Value);
  /* [id(0x000000BE), propput] */
  HRESULT (*put_TrendLineName)(IDraw* This, BSTR Value);
  /* [id(0x000000BF)] */
  HRESULT (*DummyGraph)(IDraw* This, TxGraphType GraphType);
  /* [id(0x000000C0), propget] */
  HRESULT (*get_XPixelsPerUnit)(IDraw* This, DOUBLE* Value);
  /* [id(0x000000C1), propget] */
  HRESULT (*get_YPixelsPerUnit)(IDraw* This, DOUBLE* Value);
  /* [id(0x000000C2), propget] */
  HRESULT (*get_FirstBarPos)(IDraw* This, LONG* Value);
  /* [id(0x000000C3), propget] */
  HRESULT (*get_LastBarPos)(IDraw* This, LONG* Value);
  /* [id(0x000000C4), propget] */
  HRESULT (*get_BarTotalVertical)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000C4), propput] */
  HRESULT (*put_BarTotalVertical)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000C5), propget] */
  HRESULT (*get_ShowLinesWithBars)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000C5), propput] */
  HRESULT (*put_ShowLinesWithBars)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000C6), propget] */
  HRESULT (*get_ShowTotalifZero)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000C6), propput] */
  HRESULT (*put_ShowTotalifZero)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000C7), propget] */
  HRESULT (*get_DPI)(IDraw* This, LONG* Value);
  /* [id(0x000000C7), propput] */
  HRESULT (*put_DPI)(IDraw* This, LONG Value);
  /* [id(0x000000C8)] */
  HRESULT (*AddMarker)(IDraw* This, DOUBLE X, DOUBLE Y, TxPointStyle PointStyle, LONG PointSize, BSTR Colour);
  /* [id(0x000000C9), propget] */
  HRESULT (*get_CustomLegend)(IDraw* This, VARIANT_BOOL* Value);
  /* [id(0x000000C9), propput] */
  HRESULT (*put_CustomLegend)(IDraw* This, VARIANT_BOOL Value);
  /* [id(0x000000CA)] */
  HRESULT (*AddCustomLegend)(IDraw* This, BSTR Value, BSTR Colour);
  /* [id(0x000000CB)] */
  HRESULT (*ClearCustomLegend)(IDraw* This);
  /* [id(0x000000CC)] */
  HRESULT (*Base64Out)(IDraw* This, TxGraphType GraphType, TxImageFormat FileFormat, BSTR* Value);
} IDrawVtbl;
