' Uses the Lamina and Vellum controls from VBScript: each control is created by its ProgID,
' its properties are set and read back by name, and what the controls answer is printed.
' Run it with: cscript //nologo controls.vbs
Option Explicit

' Creates a control by its ProgID; ends the script when its library is not registered.
Function CreateControl(progId)
  On Error Resume Next
  Set CreateControl = CreateObject(progId)
  If Err.Number <> 0 Then
    WScript.Echo progId & " cannot be created (error " & Err.Number & "): register its library with regsvr32."
    WScript.Quit 1
  End If
End Function

Dim button
Set button = CreateControl("Lamina.Button")
button.Caption = "Apply"
button.FocusBack = RGB(255, 128, 128)
WScript.Echo "Lamina.Button: Caption = " & button.Caption & ", FocusBack = &H" & Hex(button.FocusBack)

Dim progress
Set progress = CreateControl("Lamina.Progress")
progress.Max = 56
progress.Value = 80
WScript.Echo "Lamina.Progress: Value = " & progress.Value & " of Max = " & progress.Max

Dim services
Set services = CreateControl("Lamina.ComBox")
services.AddItem "Automatic"
services.AddItem "Disabled"
services.AddItem "Manual", 1
services.ListIndex = 1
WScript.Echo "Lamina.ComBox: ListCount = " & services.ListCount & ", Text = " & services.Text

Dim form
Set form = CreateControl("Vellum.CorvidForm")
form.Caption = "Service settings"
WScript.Echo "Vellum.CorvidForm: Caption = " & form.Caption
