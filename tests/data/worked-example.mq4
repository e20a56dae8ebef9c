#include <WinUser32.mqh> 
 int start() 
 { string show;  
double b0=iCustom(NULL,0,"ZigZag",0,1);
show=show+"Buffer 0 = "+DoubleToStr(b0, 5)+ "\n" ;
double b2=iCustom(NULL,0,"ZigZag",2,1);
show=show+"Buffer 2 = "+DoubleToStr(b2, 5)+ "\n" ;
int error=GetLastError();
if(error==4072) show=show+"The terminal could not load the indicator \"ZigZag\" from its MQL4\\Indicators folder (error 4072)";
else if(error!=0) show=show+"The terminal reported error "+IntegerToString(error)+" while reading the indicator \"ZigZag\"";
MessageBox(show); 
return (0); 
 } 