' A late-bound scripting client: creates each control by ProgID and uses its members by name.
Option Explicit
Dim failures
failures = 0

Sub Check(condition, what)
  If Not condition Then
    failures = failures + 1
    WScript.Echo "FAILED: " & what
  End If
End Sub

Dim button
Set button = CreateObject("Lamina.Button")
Check button.Caption = "Button", "a button outside any container keeps its design caption"
button.Caption = "OK"
Check button.Caption = "OK", "Caption written and read back"
Check button.FocusFore = &H80FFFF, "FocusFore default"
Check button.FocusBack = &HFF8080, "FocusBack default"
Check button.UnFocusFore = &HFF0000, "UnFocusFore default"
Check button.UnFocusBack = &HE0E0E0, "UnFocusBack default"
button.unfocusback = &H123456
Check button.UnFocusBack = &H123456, "names are matched without regard to case"
button.FocusBack = &H80000005
Check button.FocusBack = &H80000005, "a system colour is kept as it was given"
Check button.Enabled, "Enabled default"
button.Enabled = False
Check Not button.Enabled, "Enabled written"
Check Len(button.Font.Name) > 0, "Font object"

Dim progress
Set progress = CreateObject("Lamina.Progress")
Check progress.Max = 0 And progress.Value = 0, "a progress bar outside any container loads no scale"
Check progress.BackColor = &HE0E0E0 And progress.FillColor = &HFF8080, "Progress colour defaults"
Check progress.ShowTxt And Not progress.Vertical, "Progress flag defaults"
progress.Max = 100
progress.Value = 150
Check progress.Value = 100, "Value is clamped to Max"
progress.max = 0
Check progress.Max = 100, "Max below 1 is ignored"
progress.Max = 50
Check progress.Value = 50, "a lower Max pulls the value down"
progress.Vertical = True
Check progress.Vertical And Not progress.ShowTxt, "Vertical hides the text"

Dim scrollBars, scrollName
scrollBars = Array("Lamina.Vscroll", "Lamina.Hscroll")
For Each scrollName In scrollBars
  Dim scroll
  Set scroll = CreateObject(scrollName)
  Check scroll.Max = 0 And scroll.Min = 0 And scroll.MinChange = 0, scrollName & " loads no scale outside a container"
  scroll.Max = 100
  scroll.MaxChange = 10
  Check scroll.Max = 100 And scroll.MaxChange = 10, scrollName & " scale written"
  Check scroll.UnFocusFC = &HFF0000 And scroll.UnFocusBC = &HE0E0E0, scrollName & " colour defaults"
  scroll.MoveValue = 500
  Check scroll.MoveValue = 100, scrollName & " MoveValue is clamped"
  scroll.Min = 150
  Check scroll.Min = 0, scrollName & " Min above Max is ignored"
  scroll.MinChange = 200
  Check scroll.MinChange = 0, scrollName & " MinChange past the range is ignored"
  On Error Resume Next
  scroll.FocusBC = &H123456
  Check Err.Number = 382, scrollName & " FocusBC cannot be set at run time (" & Err.Number & ")"
  Err.Clear
  scroll.Min = -32000
  scroll.Max = 32767
  Check Err.Number = 6, scrollName & " a range past 16 bits overflows (" & Err.Number & ")"
  Err.Clear
  On Error GoTo 0
  Check scroll.FocusBC = &HFF8080 And scroll.Max = 100, scrollName & " refused assignments change nothing"
Next

Dim combo
Set combo = CreateObject("Lamina.ComBox")
Check combo.Text = "List", "combo text default"
Check combo.BackColor = &H80000005, "combo BackColor default"
Check combo.ForeColor = &H80000008, "combo ForeColor default"
Check combo.MaxLength = 0, "MaxLength default"
Check Not combo.Sorted, "never sorted"
combo.AddItem "one"
combo.AddItem "three"
combo.AddItem "two", 1
Check combo.ListCount = 3, "three items added"
Check combo.List(1) = "two", "an item inserted at its index"
combo.ItemData(2) = "42"
Check combo.ItemData(2) = 42, "ItemData converted to a number"
combo.ListIndex = 2
Check combo.Text = "three", "choosing by ListIndex copies the item into the text"
combo.RemoveItem 0
Check combo.ListIndex = 1, "the selection stays on its item"
combo.List(0) = "zwei"
Check combo.List(0) = "zwei", "List written"
combo.maxlength = 5
Check combo.MaxLength = 5, "MaxLength written"
combo.Clear
Check combo.ListCount = 0 And combo.ListIndex = -1, "Clear empties the list"
On Error Resume Next
combo.RemoveItem 0
Check Err.Number <> 0, "removing a missing item fails"
Err.Clear
On Error GoTo 0

Dim bar
Set bar = CreateObject("Lamina.MoveBar")
Check bar.Caption = "Caption", "a bar outside any container keeps its design caption"
Check bar.BackColor = &H80C0FF, "bar BackColor default"
Check bar.Minimize And bar.Maximum And bar.NorClose, "all three buttons shown"
bar.NorClose = False
Check Not bar.NorClose, "NorClose written"
bar.caption = "Title"
Check bar.Caption = "Title", "bar caption written"

Dim form
Set form = CreateObject("Vellum.CorvidForm")
Check form.Caption = "", "skin caption default"
form.Caption = "Gate"
Check form.Caption = "Gate", "skin caption written"
Check form.hwnd = 0, "hwnd default"
form.hwnd = 1234
Check form.hwnd = 1234, "hwnd written"
Check Not (form.Icon Is Nothing), "built-in icon"

On Error Resume Next
form.SetRgn button, 5
Check Err.Number <> 0, "SetRgn with an object that has no Width fails"
Err.Clear
On Error GoTo 0

If failures = 0 Then WScript.Echo "controls.vbs passed"
WScript.Quit failures
