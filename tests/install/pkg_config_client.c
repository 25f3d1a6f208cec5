/* A C client built with pkg-config against an installed prefix: draws a pie
   chart through IDraw's virtual table and writes it to the file named by its
   argument. Exit status 0 on success. */
#include <stdio.h>

#include <plotvane.h>

static int Failed(HRESULT hr, const char* what) {
  if (SUCCEEDED(hr)) return 0;
  fprintf(stderr, "%s failed: 0x%08X\n", what, (unsigned)hr);
  return 1;
}

int main(int argc, char** argv) {
  IClassFactory* factory = NULL;
  IDraw* draw = NULL;
  VARIANT picture;
  BSTR name = SysAllocString(u"Apples");
  BSTR colour = SysAllocString(u"FF0000");
  FILE* file;
  int status = 1;
  if (argc != 2) return 2;
  VariantInit(&picture);
  if (Failed(DllGetClassObject(&CLSID_Draw, &IID_IClassFactory, (void**)&factory), "DllGetClassObject")) return 1;
  if (Failed(factory->lpVtbl->CreateInstance(factory, NULL, &IID_IDraw, (void**)&draw), "CreateInstance")) return 1;
  factory->lpVtbl->Release(factory);
  if (!Failed(IDraw_put_Width(draw, 200), "put_Width") &&
      !Failed(IDraw_AddData(draw, name, 12, colour), "AddData") &&
      !Failed(IDraw_get_PNGPie(draw, &picture), "get_PNGPie") && picture.vt == (VT_ARRAY | VT_UI1)) {
    file = fopen(argv[1], "wb");
    if (file != NULL) {
      fwrite(picture.parray->pvData, 1, picture.parray->rgsabound[0].cElements, file);
      status = fclose(file) == 0 ? 0 : 1;
    }
  }
  VariantClear(&picture);
  SysFreeString(name);
  SysFreeString(colour);
  IDraw_Release(draw);
  return status;
}
